#pragma once
// The settings store without any window: the INI value rules, the defaults, and
// loading and saving the global settings file and the project options file, over
// a small profile-file interface so the same code runs natively and on Windows.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "EditorFont.h"
#include "JdkFinder.h"

// Longest value the program writes to a profile file (and lets be typed into
// a field that is stored there); longer ones do not come back whole from every
// profile service (Wine's). Values are read whole, whatever their length.
constexpr std::size_t kMaxProfileText = 2047;
// Longest face name a font can carry (LF_FACESIZE less the terminating zero).
constexpr std::size_t kMaxFaceName = 31;
// Font sizes read from qp.ini outside this range are treated as unreadable, so a
// damaged file can't leave the editor with an invisible or screen-filling font.
constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 400;

// An integer as the settings file holds it: decimal with an optional sign, or
// hexadecimal after "0x"/"0X" (more than two characters; up to 32 bits, taken as
// the bit pattern of a 32-bit integer). Anything else yields nothing.
std::optional<int> ParseProfileInt(const std::string& text);

// The text to hand to the profile service so that reading it back yields the
// value itself: a value the service would trim (blanks at either end) or unquote
// (a matching quote at both ends) is wrapped in double quotes, and a value is cut
// at its first line break, which the file format can't hold inside a value.
std::string EncodeProfileValue(const std::string& value);

// Why value can't be stored so that reading gives it back unchanged (too long,
// a line break, a zero character); empty when it can.
std::string ProfileValueProblem(const std::string& value);

// A file name without a directory (Untitled.ini, .ini) made to lie in dir,
// which ends with a backslash; other names are returned unchanged.
std::string ResolveBareFileName(const std::string& name, const std::string& dir);

// The project options file of a source: its extension replaced by ".ini".
std::string ProjectOptionsFileFor(const std::string& sourceFile);

// The text of the error box shown when dir lacks the SDK tools (single CRs).
std::string JavaSdkDirMessage(const std::string& dir);

// The applet page template the program starts with: nine lines joined by CR LF.
std::string DefaultHtmlTemplate();

// The recent-files list with name put first: an earlier entry of the same file
// (names compared without regard to case) goes, and the list keeps max entries.
std::vector<std::string> WithRecentFile(std::vector<std::string> list, const std::string& name,
                                        std::size_t max);

// The profile-file services the store needs.
class IProfile {
public:
    virtual ~IProfile() = default;
    // The value of section/key in file, or def when the file, section or key is missing.
    virtual std::string ReadString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& def) = 0;
    // Creates the file, section and key as needed; false when it could not be written.
    virtual bool WriteString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
    // True when path names an existing file (not a directory).
    virtual bool FileExists(const std::string& path) = 0;
    // Between these, reads may take a file as it was at the first of them (a
    // write is seen at once): one loading of settings, not a time over which
    // the user could change the file. They nest.
    virtual void BeginReads() {}
    virtual void EndReads() {}
};

// The settings a field of the options dialog shows, and those a check box shows.
enum class TextSetting {
    JavaSdkDir,
    CompillerCommand,
    InterpreterCommand,
    AppletViewerCommand,
    HtmlTemplate,
    AppCommandLine,
    AppletHtmlFile,
};
enum class SwitchSetting { AutoIndent, SmartTabs, NewFilesUtf8, Colouring };

// Every setting, with its defaults, and the operations on the two files. The
// store holds each value; a view of them (the options dialog) is told of every
// change and hands back each edit made in it.
class TOptionsStore {
public:
    explicit TOptionsStore(IProfile& profile);
    virtual ~TOptionsStore() = default;
    TOptionsStore(const TOptionsStore&) = delete;
    TOptionsStore& operator=(const TOptionsStore&) = delete;

    std::string JavaSdkDir() const { return Text(TextSetting::JavaSdkDir); }
    void SetJavaSdkDir(const std::string& value) { SetText(TextSetting::JavaSdkDir, value); }
    std::string CompilerFile() const { return "javac.exe"; }
    std::string InterpreterFile() const { return "java.exe"; }
    std::string AppletViewerFile() const { return "appletviewer.exe"; }
    std::string CompillerCommand() const { return Text(TextSetting::CompillerCommand); }
    void SetCompillerCommand(const std::string& value) { SetText(TextSetting::CompillerCommand, value); }
    std::string InterpreterCommand() const { return Text(TextSetting::InterpreterCommand); }
    void SetInterpreterCommand(const std::string& value) { SetText(TextSetting::InterpreterCommand, value); }
    std::string AppletViewerCommand() const { return Text(TextSetting::AppletViewerCommand); }
    void SetAppletViewerCommand(const std::string& value) { SetText(TextSetting::AppletViewerCommand, value); }
    // Changed in place; a change of face or size raises its notification.
    TEditorFont& EditorFont() { return editorFont_; }
    const TEditorFont& EditorFont() const { return editorFont_; }
    bool AutoIndent() const { return Switch(SwitchSetting::AutoIndent); }
    void SetAutoIndent(bool value) { SetSwitch(SwitchSetting::AutoIndent, value); }
    bool SmartTabs() const { return Switch(SwitchSetting::SmartTabs); }
    void SetSmartTabs(bool value) { SetSwitch(SwitchSetting::SmartTabs, value); }
    // New files are saved as UTF-8 (no mark) rather than in the ANSI code page.
    bool NewFilesUtf8() const { return Switch(SwitchSetting::NewFilesUtf8); }
    void SetNewFilesUtf8(bool value) { SetSwitch(SwitchSetting::NewFilesUtf8, value); }
    bool Colouring() const { return Switch(SwitchSetting::Colouring); }
    void SetColouring(bool value) { SetSwitch(SwitchSetting::Colouring, value); }
    // Only the dialog changes the template; virtual so that the build commands'
    // tests can hand them one of their own.
    virtual std::string HtmlTemplate() const { return Text(TextSetting::HtmlTemplate); }
    bool JavaSdkValid() const { return javaSdkValid_; }

    std::string AppCommandLine() const { return Text(TextSetting::AppCommandLine); }
    void SetAppCommandLine(const std::string& value) { SetText(TextSetting::AppCommandLine, value); }
    std::string AppletHtmlFile() const { return Text(TextSetting::AppletHtmlFile); }
    // Keeps only the file-name part: the page is looked for beside the source.
    void SetAppletHtmlFile(const std::string& value);

    std::string SourceFile() const { return sourceFile_; }
    std::string ProjectOptionsFile() const { return ProjectOptionsFileFor(sourceFile_); }
    // Makes name the current source and reads its project options.
    void SetSourceFile(const std::string& name);

    void LoadOptions();
    void SaveOptions();
    void LoadProjectOptions();
    void SaveProjectOptions();
    // The files last opened or saved, newest first, kept in qp.ini.
    std::vector<std::string> LoadRecentFiles();
    void SaveRecentFiles(const std::vector<std::string>& files);
    static constexpr std::size_t kRecentFiles = 8;
    // True when dir holds the compiler and the interpreter; otherwise reports the failure.
    bool CheckJavaSdkDir(const std::string& dir);
    // For an SDK folder that is not valid: the newest JDK installed on the machine
    // becomes it, saved to qp.ini as the dialog's OK would. Returns the status
    // text naming it; empty when none was found (the folder then stays as it was).
    std::string UseInstalledJdk();
    // What UseInstalledJdk said at creation; empty when it was not needed or found nothing.
    const std::string& JdkFoundAtCreation() const { return jdkFoundAtCreation_; }

protected:
    // The creation steps after the defaults: the font notification is connected
    // and the default font copied in, then qp.ini is read and the directory checked.
    // A derived class runs this from its constructor, when its overrides are in place.
    void Create();
    void SetJavaSdkValid(bool value) { javaSdkValid_ = value; }

    // Each setting by its kind, for the view. SetText takes the value as it
    // stands (an applet page typed with its directory keeps it, as typed).
    const std::string& Text(TextSetting which) const { return texts_[static_cast<std::size_t>(which)]; }
    void SetText(TextSetting which, const std::string& value);
    bool Switch(SwitchSetting which) const { return switches_[static_cast<std::size_t>(which)]; }
    void SetSwitch(SwitchSetting which, bool value);
    // Each change of a setting, the view's own edits included; the dialog shows it.
    virtual void TextChanged(TextSetting /*which*/) {}
    virtual void SwitchChanged(SwitchSetting /*which*/) {}

    // Full name of qp.ini.
    virtual std::string SettingsFile() const = 0;
    // Shows the failed directory check (an error box on Windows).
    virtual void ReportJavaSdkError(const std::string& text) = 0;
    // Every change of the editor font's face or size; the dialog updates its display.
    virtual void EditorFontChange() {}
    // The project options file became name; the dialog shows it.
    virtual void ShowProjectOptionsFile(const std::string& /*name*/) {}
    // The JDKs installed on the machine, newest first; none unless the machine is looked at.
    virtual std::vector<JdkInstall> InstalledJdks() { return {}; }

private:
    bool HasJavaSdkTools(const std::string& dir);
    std::string ReadText(const std::string& file, const char* section, const char* key,
                         const std::string& def);
    // Nothing when the key is missing or holds no valid integer.
    std::optional<int> ReadInt(const std::string& file, const char* section, const char* key);
    struct ProfileEntry {
        const char* section;
        const char* key;
        std::string value;
    };
    // Writes the entries in order, each read back to make sure it was stored.
    void Write(const std::string& file, const std::vector<ProfileEntry>& entries);

    IProfile& profile_;
    // In the order of TextSetting and of SwitchSetting.
    std::array<std::string, 7> texts_ = {"c:\\jdk1.3\\bin\\", "%j", "%c", "%h", DefaultHtmlTemplate(), "", ""};
    std::array<bool, 4> switches_ = {true, true, false, true};
    TEditorFont editorFont_;
    bool javaSdkValid_ = false;
    std::string jdkFoundAtCreation_;
    std::string sourceFile_;
};
