#include "QPadBuildU.h"

#include "QpErrors.h"
#include "QpText.h"

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

std::string CommandInterpreterFor(bool commandComFound, const std::string& comspec) {
    if (commandComFound || comspec.empty()) return "command.com";
    const bool quoted = comspec.size() >= 2 && comspec.front() == '"' && comspec.back() == '"';
    if (!quoted && comspec.find(' ') != std::string::npos) return '"' + comspec + '"';
    return comspec;
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
                                    const std::string& compilerCommand, const std::string& fileName) {
    std::string line = ToolLine("", sdkDir, compilerFile, compilerCommand);
    if (!SubstituteQuoted(line, "%j", fileName)) throw Exception("Can't find \"%j\" in compiler command");
    return line;
}

std::string MakeInterpreterCommandLine(const std::string& shell, const std::string& sdkDir,
                                       const std::string& interpreterFile,
                                       const std::string& interpreterCommand,
                                       const std::string& className, const std::string& appCommandLine) {
    const std::string head = shell + " /K ";
    std::string line = ToolLine(head, sdkDir, interpreterFile, interpreterCommand);
    if (!SubstituteQuoted(line, "%c", className)) throw Exception("Can't find \"%c\" in interpreter command");
    // The program's own arguments go at the very end, whatever the template holds.
    if (!appCommandLine.empty()) line += ' ' + appCommandLine;
    return ForShell(shell, head, line);
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
