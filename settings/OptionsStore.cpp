#include "OptionsStore.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "QpErrors.h"
#include "QpText.h"

namespace {

const char kJavaSdk[] = "JavaSDK";
const char kEditor[] = "Editor";
const char kParameters[] = "Parameters";
const char kRecent[] = "Recent";

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < base ? v : -1;
}

// The digits of text from pos on as a number of at most limit; nothing when a
// character is no digit, there are no digits, or the number is too large.
std::optional<std::uint64_t> ParseDigits(const std::string& text, std::size_t pos, int base,
                                         std::uint64_t limit) {
    if (pos >= text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        int d = DigitValue(text[pos], base);
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    return value;
}

// What the profile service trims off both ends of a value it reads: white space
// and Ctrl-Z (an old end-of-file mark).
bool IsProfileBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

// One loading of settings: see IProfile::BeginReads.
class ReadPass {
public:
    explicit ReadPass(IProfile& profile) : profile_(profile) { profile_.BeginReads(); }
    ~ReadPass() { profile_.EndReads(); }
    ReadPass(const ReadPass&) = delete;
    ReadPass& operator=(const ReadPass&) = delete;

private:
    IProfile& profile_;
};

}  // namespace

std::optional<int> ParseProfileInt(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        auto v = ParseDigits(text, 2, 16, 0xFFFFFFFFu);
        if (!v) return std::nullopt;
        return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(*v)));
    }
    std::size_t pos = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        pos = 1;
    }
    auto v = ParseDigits(text, pos, 10, negative ? 2147483648u : 2147483647u);
    if (!v) return std::nullopt;
    std::int64_t signedValue = negative ? -static_cast<std::int64_t>(*v)
                                        : static_cast<std::int64_t>(*v);
    return static_cast<int>(signedValue);
}

std::string EncodeProfileValue(const std::string& value) {
    std::string v = value.substr(0, value.find_first_of("\r\n"));
    if (v.empty()) return v;
    bool trimmed = IsProfileBlank(v.front()) || IsProfileBlank(v.back());
    bool quoted = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    return (trimmed || quoted) ? '"' + v + '"' : v;
}

std::string ProfileValueProblem(const std::string& value) {
    if (value.size() > kMaxProfileText)
        return "is longer than " + std::to_string(kMaxProfileText) + " characters";
    if (value.find_first_of("\r\n") != std::string::npos) return "holds a line break";
    if (value.find('\0') != std::string::npos) return "holds a zero character";
    return std::string();
}

std::string ResolveBareFileName(const std::string& name, const std::string& dir) {
    return ExtractFilePath(name).empty() ? dir + name : name;
}

std::string ProjectOptionsFileFor(const std::string& sourceFile) {
    return ChangeFileExt(sourceFile, ".ini");
}

std::string JavaSdkDirMessage(const std::string& dir) {
    const std::string cr = "\r";
    return dir + cr + "is not Java SDK directory" + cr + cr + "Can not find " + cr +
           "  javac.exe or" + cr + "  java.exe";
}

std::string DefaultHtmlTemplate() {
    return "<HTML>\r\n"
           "<HEAD>\r\n"
           "<TITLE> A Simple Program </TITLE>\r\n"
           "</HEAD>\r\n"
           "<BODY>\r\n"
           "<APPLET CODE=\"%c\" WIDTH=150 HEIGHT=25>\r\n"
           "</APPLET>\r\n"
           "</BODY>\r\n"
           "</HTML>";
}

TOptionsStore::TOptionsStore(IProfile& profile) : profile_(profile) {}

void TOptionsStore::Create() {
    editorFont_.onChange = [this] { EditorFontChange(); };
    // Field by field: assigning a whole default font would drop the notification.
    const TEditorFont defaults;
    editorFont_.name = defaults.name;
    editorFont_.size = defaults.size;
    editorFont_.style = defaults.style;
    editorFont_.color = defaults.color;
    editorFont_.charset = defaults.charset;
    editorFont_.Changed();
    javaSdkValid_ = false;
    LoadOptions();
    // An installed JDK is looked for only when the folder set lacks the tools,
    // so that a start with a valid folder costs nothing more.
    javaSdkValid_ = HasJavaSdkTools(JavaSdkDir());
    if (!javaSdkValid_) jdkFoundAtCreation_ = UseInstalledJdk();
    if (!javaSdkValid_) ReportJavaSdkError(JavaSdkDirMessage(JavaSdkDir()));
}

void TOptionsStore::SetAppletHtmlFile(const std::string& value) {
    SetText(TextSetting::AppletHtmlFile, ExtractFileName(value));
}

void TOptionsStore::SetText(TextSetting which, const std::string& value) {
    texts_[static_cast<std::size_t>(which)] = value;
    TextChanged(which);
}

void TOptionsStore::SetSwitch(SwitchSetting which, bool value) {
    switches_[static_cast<std::size_t>(which)] = value;
    SwitchChanged(which);
}

void TOptionsStore::SetSourceFile(const std::string& name) {
    sourceFile_ = name;
    ShowProjectOptionsFile(ProjectOptionsFile());
    LoadProjectOptions();
}

std::string TOptionsStore::ReadText(const std::string& file, const char* section,
                                    const char* key, const std::string& def) {
    // Whole, however long: a template cut short would lose its placeholder.
    return profile_.ReadString(file, section, key, def);
}

std::optional<int> TOptionsStore::ReadInt(const std::string& file, const char* section,
                                          const char* key) {
    return ParseProfileInt(ReadText(file, section, key, std::string()));
}

void TOptionsStore::Write(const std::string& file, const std::vector<ProfileEntry>& entries) {
    // Checked before anything is written: a value that could not come back as it
    // is leaves the file untouched.
    for (const auto& e : entries) {
        std::string problem = ProfileValueProblem(e.value);
        if (!problem.empty())
            throw Exception("Unable to write to " + file + "\rThe value of " + e.section + "/" +
                            e.key + " " + problem);
    }
    for (const auto& e : entries) {
        if (!profile_.WriteString(file, e.section, e.key, e.value))
            throw Exception("Unable to write to " + file);
        // A write the service accepted but altered is no success either.
        if (profile_.ReadString(file, e.section, e.key, '\x01' + e.value) != e.value)
            throw Exception("Unable to write to " + file + "\rThe value of " + e.section + "/" +
                            e.key + " does not read back as written");
    }
}

void TOptionsStore::LoadOptions() {
    ReadPass pass(profile_);
    const std::string file = SettingsFile();
    SetJavaSdkDir(ReadText(file, kJavaSdk, "Directory", JavaSdkDir()));
    SetCompillerCommand(ReadText(file, kJavaSdk, "CompillerCommand", CompillerCommand()));
    SetInterpreterCommand(ReadText(file, kJavaSdk, "InterpreterCommand", InterpreterCommand()));
    SetAppletViewerCommand(
        ReadText(file, kJavaSdk, "AppletViewerCommand", AppletViewerCommand()));

    std::string face = ReadText(file, kEditor, "FontName", editorFont_.name);
    if (!face.empty()) editorFont_.SetName(face.substr(0, kMaxFaceName));
    if (auto size = ReadInt(file, kEditor, "FontSize");
        size && *size >= kMinFontSize && *size <= kMaxFontSize)
        editorFont_.SetSize(*size);

    if (auto v = ReadInt(file, kEditor, "Autoindent")) SetAutoIndent(*v != 0);
    if (auto v = ReadInt(file, kEditor, "SmartTabs")) SetSmartTabs(*v != 0);
    if (auto v = ReadInt(file, kEditor, "NewFilesUTF8")) SetNewFilesUtf8(*v != 0);
    if (auto v = ReadInt(file, kEditor, "Colour")) SetColouring(*v != 0);
}

void TOptionsStore::SaveOptions() {
    Write(SettingsFile(), {{kJavaSdk, "Directory", JavaSdkDir()},
                           {kJavaSdk, "CompillerCommand", CompillerCommand()},
                           {kJavaSdk, "InterpreterCommand", InterpreterCommand()},
                           {kJavaSdk, "AppletViewerCommand", AppletViewerCommand()},
                           {kEditor, "FontName", editorFont_.name},
                           {kEditor, "FontSize", std::to_string(editorFont_.size)},
                           {kEditor, "Autoindent", AutoIndent() ? "1" : "0"},
                           {kEditor, "SmartTabs", SmartTabs() ? "1" : "0"},
                           {kEditor, "NewFilesUTF8", NewFilesUtf8() ? "1" : "0"},
                           {kEditor, "Colour", Colouring() ? "1" : "0"}});
}

void TOptionsStore::LoadProjectOptions() {
    ReadPass pass(profile_);
    const std::string file = ProjectOptionsFile();
    SetAppCommandLine(ReadText(file, kParameters, "CommandLine", std::string()));
    SetAppletHtmlFile(ReadText(file, kParameters, "HTML", std::string()));
}

void TOptionsStore::SaveProjectOptions() {
    Write(ProjectOptionsFile(), {{kParameters, "CommandLine", AppCommandLine()},
                                 {kParameters, "HTML", AppletHtmlFile()}});
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& name,
                                        std::size_t max) {
    auto same = [&](const std::string& other) {
        return other.size() == name.size() &&
               std::equal(other.begin(), other.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    list.erase(std::remove_if(list.begin(), list.end(), same), list.end());
    list.insert(list.begin(), name);
    if (list.size() > max) list.resize(max);
    return list;
}

std::vector<std::string> TOptionsStore::LoadRecentFiles() {
    ReadPass pass(profile_);
    std::vector<std::string> files;
    for (std::size_t i = 1; i <= kRecentFiles; ++i) {
        const std::string key = "File" + std::to_string(i);
        std::string name = ReadText(SettingsFile(), kRecent, key.c_str(), std::string());
        if (!name.empty()) files.push_back(std::move(name));
    }
    return files;
}

void TOptionsStore::SaveRecentFiles(const std::vector<std::string>& files) {
    std::vector<std::string> keys;
    std::vector<ProfileEntry> entries;
    for (std::size_t i = 1; i <= kRecentFiles; ++i) keys.push_back("File" + std::to_string(i));
    for (std::size_t i = 0; i < kRecentFiles; ++i)
        entries.push_back({kRecent, keys[i].c_str(), i < files.size() ? files[i] : std::string()});
    Write(SettingsFile(), entries);
}

bool TOptionsStore::HasJavaSdkTools(const std::string& dir) {
    // The applet viewer is not asked for: SDKs since Java 11 have none, and Run
    // Applet looks for it when it needs it.
    for (const char* tool : {"javac.exe", "java.exe"})
        if (!profile_.FileExists(dir + tool)) return false;
    return true;
}

bool TOptionsStore::CheckJavaSdkDir(const std::string& dir) {
    if (HasJavaSdkTools(dir)) return true;
    ReportJavaSdkError(JavaSdkDirMessage(dir));
    return false;
}

std::string TOptionsStore::UseInstalledJdk() {
    const std::vector<JdkInstall> jdks = InstalledJdks();
    if (jdks.empty()) return std::string();
    SetJavaSdkDir(jdks.front().BinDir());
    javaSdkValid_ = true;
    std::string text = JdkInUseText(jdks.front());
    // Found again at the next start if qp.ini cannot take it; this session has it anyway.
    try {
        SaveOptions();
    } catch (const std::exception&) {
        text += "; qp.ini could not be written";
    }
    return text;
}
