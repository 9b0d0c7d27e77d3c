#include "QPadBuildU.h"

#include <algorithm>

#include "QpErrors.h"
#include "QpText.h"
#include "SourceForm.h"

std::string ClassNameFor(const std::string& fileName) { return ChangeFileExt(ExtractFileName(fileName), ""); }

std::string ClassFileNameFor(const std::string& fileName) {
    return ChangeFileExt(ExtractFileName(fileName), ".class");
}

std::string DefaultPageNameFor(const std::string& fileName) {
    return ChangeFileExt(ExtractFileName(fileName), ".html");
}

bool SubstituteQuoted(std::string& text, const std::string& placeholder, const std::string& value) {
    const std::size_t at = text.find(placeholder);
    if (at == std::string::npos) return false;
    text.replace(at, placeholder.size(), '"' + value + '"');
    return true;
}

namespace {
// "C:\..." or "\\server\...": a path no search is made for.
bool IsFullPath(const std::string& path) {
    std::string p = path;
    if (p.size() >= 2 && p.front() == '"' && p.back() == '"') p = p.substr(1, p.size() - 2);
    const bool drive = p.size() >= 3 && ((p[0] | 0x20) >= 'a' && (p[0] | 0x20) <= 'z') && p[1] == ':' &&
                       (p[2] == '\\' || p[2] == '/');
    return drive || (p.size() >= 3 && p[0] == '\\' && p[1] == '\\');
}

std::string InFolder(const std::string& folder, const char* name) {
    if (!folder.empty() && folder.back() != '\\') return folder + '\\' + name;
    return folder + name;
}

std::string QuotedIfBlank(const std::string& path) {
    const bool quoted = path.size() >= 2 && path.front() == '"' && path.back() == '"';
    if (!quoted && path.find(' ') != std::string::npos) return '"' + path + '"';
    return path;
}
}  // namespace

std::string CommandInterpreterFor(const std::string& comspec, const std::string& systemFolder, bool systemHasCmd,
                                  const std::string& windowsFolder) {
    if (IsFullPath(comspec)) return QuotedIfBlank(comspec);
    if (systemHasCmd) return QuotedIfBlank(InFolder(systemFolder, "cmd.exe"));
    return QuotedIfBlank(InFolder(windowsFolder, "command.com"));
}

namespace {
// cmd.exe removes the first and the last double quote of the text after /C or /K
// whenever it holds more than two, which would break "<path>" "Hello"; one more
// pair around that text is what it removes. command.com takes the text as it is.
bool StripsOuterQuotes(const std::string& shell) {
    std::string name = shell;
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    name = ExtractFileName(name);
    for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name == "cmd.exe" || name == "cmd";
}

std::string ForShell(const std::string& shell, const std::string& head, std::string line) {
    if (StripsOuterQuotes(shell) && line.compare(0, head.size(), head) == 0)
        line = head + '"' + line.substr(head.size()) + '"';
    return line;
}

// <head>"<sdkDir><file>" <command>: the tool's path quoted, its template after it.
std::string ToolLine(const std::string& head, const std::string& sdkDir, const std::string& file,
                     const std::string& command) {
    return head + '"' + sdkDir + file + "\" " + command;
}
}  // namespace

std::string MakeCompilerCommandLine(const std::string& sdkDir, const std::string& compilerFile,
                                    const std::string& compilerCommand, const std::string& fileName,
                                    const std::string& encoding) {
    std::string line = ToolLine("", sdkDir, compilerFile, compilerCommand);
    const std::size_t at = line.find("%j");
    if (!SubstituteQuoted(line, "%j", fileName)) throw Exception("Can't find \"%j\" in compiler command");
    if (!encoding.empty()) line.insert(at, "-encoding " + encoding + ' ');
    return line;
}

bool IsValidUtf8(std::string_view bytes) {
    std::u16string text;
    return Utf8ToUtf16(bytes, text);
}

std::string JavaCharsetName(unsigned codePage) {
    switch (codePage) {
    case 874: return "x-windows-874";
    case 932: return "MS932";
    case 936: return "GBK";
    case 949: return "MS949";
    case 950: return "MS950";
    case 1361: return "x-Johab";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 20932: return "EUC-JP";
    case 28591: return "ISO-8859-1";
    case 54936: return "GB18030";
    case 65001: return "UTF-8";
    default: break;
    }
    std::string name;
    unsigned number = codePage;
    if (codePage >= 1250 && codePage <= 1258) {
        name = "windows-";
    } else if (codePage >= 28592 && codePage <= 28605) {
        name = "ISO-8859-";
        number = codePage - 28590;
    } else {
        name = "Cp";  // the OEM pages and the rest: Cp437, Cp850, Cp866
    }
    return name.append(std::to_string(number));
}

std::string SourceEncodingFor(std::string_view source, const std::string& compilerCommand,
                              unsigned ansiCodePage) {
    if (compilerCommand.find("-encoding") != std::string::npos) return std::string();
    bool ascii = true;
    for (const char c : source)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return std::string();
    return IsValidUtf8(source) ? "UTF-8" : JavaCharsetName(ansiCodePage);
}

EncodingChoice CompileEncodingFor(const SourceBytes& source, const std::vector<SourceBytes>& siblings,
                                  const std::string& compilerCommand, unsigned ansiCodePage) {
    EncodingChoice choice;
    if (compilerCommand.find("-encoding") != std::string::npos) return choice;
    // Each encoding with the files in it, in the order first seen.
    std::vector<std::pair<std::string, std::vector<std::string>>> groups;
    auto add = [&](const SourceBytes& file) {
        const std::string encoding = SourceEncodingFor(file.bytes, std::string(), ansiCodePage);
        if (encoding.empty()) return;
        auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == encoding; });
        if (it == groups.end()) it = groups.insert(groups.end(), {encoding, {}});
        it->second.push_back(file.name);
    };
    add(source);
    const bool own = !groups.empty();
    for (const SourceBytes& file : siblings) add(file);
    if (groups.empty()) return choice;
    if (own) {
        choice.encoding = groups.front().first;
    } else {
        const auto most = std::max_element(groups.begin(), groups.end(), [](const auto& a, const auto& b) {
            return a.second.size() < b.second.size();
        });
        choice.encoding = most->first;
    }
    if (groups.size() > 1) {
        choice.note = "Sources in different encodings:";
        for (const auto& [encoding, names] : groups) {
            choice.note += ' ' + encoding + ':';
            for (std::size_t i = 0; i < names.size(); ++i) choice.note += (i ? ", " : " ") + names[i];
            choice.note += ';';
        }
        choice.note.back() = '.';
        choice.note += " javac reads them all as " + choice.encoding +
                       ": save them in one encoding, or put -encoding in the compiler command (Edit, Options).";
    }
    return choice;
}

namespace {
bool IsNamePart(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '$' ||
           u >= 0x80;  // letters beyond ASCII, in whatever encoding
}

// A cursor over Java text that steps over blanks and comments.
class JavaScanner {
public:
    explicit JavaScanner(std::string_view text) : text_(text) {}
    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return text_[at_]; }
    std::size_t At() const { return at_; }
    void Seek(std::size_t at) { at_ = at; }

    // Blanks, line breaks and comments; an unclosed comment runs to the end.
    void SkipSpace() {
        while (!AtEnd()) {
            const char c = Peek();
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f') {
                ++at_;
            } else if (Starts("//")) {
                const std::size_t end = text_.find_first_of("\r\n", at_);
                at_ = end == std::string_view::npos ? text_.size() : end;
            } else if (Starts("/*")) {
                const std::size_t end = text_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }
    // A string, text block or character literal starting here; an unclosed one
    // runs to the end of its line (of the text, for a text block).
    void SkipLiteral() {
        if (Starts("\"\"\"")) {
            const std::size_t end = FindUnescaped("\"\"\"", at_ + 3);
            at_ = end == std::string_view::npos ? text_.size() : end + 3;
            return;
        }
        const char quote = text_[at_++];
        while (!AtEnd()) {
            const char c = text_[at_];
            if (c == '\r' || c == '\n') return;
            ++at_;
            if (c == '\\') {
                if (!AtEnd() && text_[at_] != '\r' && text_[at_] != '\n') ++at_;
            } else if (c == quote) {
                return;
            }
        }
    }
    std::string_view Word() {
        const std::size_t start = at_;
        while (!AtEnd() && IsNamePart(Peek())) ++at_;
        return text_.substr(start, at_ - start);
    }

private:
    bool Starts(std::string_view s) const { return text_.compare(at_, s.size(), s) == 0; }
    std::size_t FindUnescaped(std::string_view s, std::size_t from) const {
        for (std::size_t i = from; i < text_.size(); ++i) {
            if (text_[i] == '\\') {
                ++i;
                continue;
            }
            if (text_.compare(i, s.size(), s) == 0) return i;
        }
        return std::string_view::npos;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// After the word "package": a dotted name and ";", or "" when they are not there.
std::string ReadPackageName(JavaScanner& scan) {
    std::string name;
    for (;;) {
        scan.SkipSpace();
        const std::string_view part = scan.Word();
        if (part.empty() || (part[0] >= '0' && part[0] <= '9')) return std::string();
        name += part;
        scan.SkipSpace();
        if (scan.AtEnd()) return std::string();
        const char c = scan.Peek();
        if (c == ';') return name;
        if (c != '.') return std::string();
        name += '.';
        scan.Seek(scan.At() + 1);
    }
}
}  // namespace

std::string PackageNameOf(std::string_view source) {
    JavaScanner scan(source);
    for (;;) {
        scan.SkipSpace();
        if (scan.AtEnd()) return std::string();
        const char c = scan.Peek();
        if (c == '"' || c == '\'') {
            scan.SkipLiteral();
        } else if (IsNamePart(c)) {
            if (scan.Word() != "package") continue;
            const std::size_t after = scan.At();
            std::string name = ReadPackageName(scan);
            if (!name.empty()) return name;
            scan.Seek(after);
        } else {
            scan.Seek(scan.At() + 1);
        }
    }
}

namespace {
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows folder names ignore letter case.
bool EndsWithFolders(const std::string& folder, const std::string& tail) {
    if (folder.size() <= tail.size()) return false;
    const std::size_t start = folder.size() - tail.size();
    const char before = folder[start - 1];
    if (before != '\\' && before != ':') return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (Lower(folder[start + i]) != Lower(tail[i])) return false;
    return true;
}
}  // namespace

BuildPlace BuildPlaceFor(const std::string& fileName, const std::string& packageName) {
    BuildPlace place;
    place.folder = ExtractFilePath(fileName);
    place.className = ClassNameFor(fileName);
    place.classFile = ClassFileNameFor(fileName);
    if (packageName.empty()) return place;

    std::string tail = packageName + '\\';  // app.util -> app\util\ (the folder ends with a backslash)
    for (char& c : tail)
        if (c == '.') c = '\\';
    if (!EndsWithFolders(place.folder, tail)) {
        const std::string path = tail.substr(0, tail.size() - 1);
        place.note = ExtractFileName(fileName) + " is in package " + packageName + " but not in a folder " + path +
                     ", so it is compiled and run in its own folder as " + place.className +
                     "; save it in a folder " + path + " to run it as " + packageName + '.' + place.className + '.';
        return place;
    }
    place.folder.erase(place.folder.size() - tail.size());
    place.className = packageName + '.' + place.className;
    std::string slashes = packageName;
    for (char& c : slashes)
        if (c == '.') c = '/';
    place.classFile = slashes + '/' + place.classFile;
    return place;
}

std::string BatchLineFor(const std::string& line) {
    std::string out;
    bool quoted = false;
    char previous = 0;  // the last character outside quotes
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < line.size() && line[i + 1] == '\n') ++i;
            // A caret at a line's end joins the next line and takes its first
            // character, here the empty line's break, as text. Quotes would
            // make the caret text, so they close around it.
            out += quoted ? "\"^\n\n\"" : "^\n\n";
            previous = 0;
            continue;
        }
        if (c == '%') {
            out += "%%";
        } else if (c == '"') {
            quoted = !quoted;
            out += c;
        } else if (!quoted && (c == '^' || c == '|' || c == '(' || c == ')' ||
                               (c == '&' && previous != '>' && previous != '<'))) {
            out += '^';
            out += c;
        } else {
            out += c;
        }
        if (!quoted && c != '"') previous = c;
    }
    return out;
}

InterpreterRun MakeInterpreterRun(const std::string& shell, const std::string& batchFile, const std::string& sdkDir,
                                  const std::string& interpreterFile, const std::string& interpreterCommand,
                                  const std::string& className, const std::string& appCommandLine) {
    InterpreterRun run;
    run.programLine = ToolLine("", sdkDir, interpreterFile, interpreterCommand);
    if (!SubstituteQuoted(run.programLine, "%c", className))
        throw Exception("Can't find \"%c\" in interpreter command");
    // The program's own arguments go at the very end, whatever the template holds.
    if (!appCommandLine.empty()) run.programLine += ' ' + appCommandLine;
    // Delayed expansion (!name!) is off unless the registry turns it on.
    run.batchText = "@setlocal DisableDelayedExpansion\r\n@" + BatchLineFor(run.programLine) + "\r\n";
    const std::string head = shell + " /K ";
    run.commandLine = ForShell(shell, head, head + '"' + batchFile + '"');
    return run;
}

std::string MakeAppletViewerCommandLine(const std::string& shell, const std::string& sdkDir,
                                        const std::string& viewerFile, const std::string& viewerCommand,
                                        const std::function<std::string()>& findPage) {
    const std::string head = shell + " /C ";
    std::string line = ToolLine(head, sdkDir, viewerFile, viewerCommand);
    const std::size_t at = line.find("%h");
    if (at == std::string::npos) throw Exception("Can't find \"%h\" in Applet viewer command");
    line.replace(at, 2, '"' + findPage() + '"');
    return ForShell(shell, head, line);
}

std::string AppletPageText(const std::string& htmlTemplate, const std::string& classFileName) {
    std::string page = htmlTemplate;
    const std::size_t at = page.find("%c");
    if (at == std::string::npos) throw Exception("Can't find \"%c\" in HTML template");
    page.replace(at, 2, classFileName);
    return page;
}

std::string AppletPageNameFor(const std::string& appletHtmlFile, const std::string& fileName) {
    return appletHtmlFile.empty() ? DefaultPageNameFor(fileName) : appletHtmlFile;
}

std::string AppletPageMissingText(const std::string& name) {
    return "Applet HTML file is not defined\rCan't find " + name;
}

std::string AppletViewerMissingText(const std::string& sdkDir, const std::string& viewerFile) {
    return "Can not find " + viewerFile + " in the Java SDK directory\r" + sdkDir +
           "\r\rRun Applet needs an SDK with an applet viewer (Java 10 or older).";
}
