#pragma once
// The external tool runner's portable part: the three wrappers the build commands
// use (compiler, interpreter, applet viewer) and the diagnostics. They run their
// tools through a launcher handed to them: the Windows one is in LauncherWin32.h,
// host tests give a fake.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Starts cmdLine (program first), sends its standard error into outFile unless
// outFile is empty, starts its window hidden or in the default show state, waits
// for its end and stores its exit code. Every failure throws Exception.
using TLauncher = std::function<void(const std::string& cmdLine, const std::string& outFile, bool hidden,
                                     std::uint32_t& exitCode)>;

// The capture file's name in tempDir (as GetTempPathA reports it, with its final
// backslash); the bare name when there is no temporary directory. Each running
// instance (its process id) has a file of its own, so two editors compiling at
// once never truncate each other's capture: "stderr-<instance>.out".
std::string StdErrFileNameIn(const std::string& tempDir, std::uint32_t instance);
// Run's batch file, in the same place and as much the instance's own:
// "qp-run-<instance>.bat".
std::string RunBatchFileNameIn(const std::string& tempDir, std::uint32_t instance);

// The launcher's two failure texts (lines separated by single line feeds).
std::string LauncherCreateFileErrorText(const std::string& outFile);
std::string LauncherStartErrorText();

// Splits captured text into lines at CR LF, lone CR and lone LF. A break at the
// end adds no empty line; a zero byte ends the text.
std::vector<std::string> SplitCaptureLines(std::string_view text);
// Reads a capture file whole and splits it; throws Exception when it cannot be read.
std::vector<std::string> LoadCaptureFile(const std::string& path);
// How LoadCaptureFile reads the file's bytes (false when it cannot): the standard
// library's streams unless the platform's start-up puts in a reader that takes
// the same path forms as the launcher that wrote the file.
extern bool (*ReadCaptureBytes)(const std::string& path, std::string& bytes);

// One error-list entry: "%.4d %.4d %s" (line, column, message).
std::string FormatErrorEntry(int line, int column, const std::string& message);

// Reads an entry back: the text up to the first blank as the line, the text
// after it up to the next blank as the column. A field that is not a decimal
// integer leaves its value -1 and ends the reading, so the column is read only
// when the line converted.
void ReadErrorEntry(const std::string& entry, int& line, int& column);

// Progress event: the sending wrapper and a status text.
using TToolMessageEvent = std::function<void(void* sender, const std::string& msg)>;

// Shown as the exit code when the launcher failed and the tool never ran: all bits
// set, the value an exit code of -1 would also show, so it never reads as success.
inline constexpr std::uint32_t kNoExitCode = 0xFFFFFFFFu;

class TCompiller {
public:
    TToolMessageEvent OnMessage;
    std::vector<std::string> Output;  // the captured lines of the last compile
    std::vector<std::string> Errors;  // "%.4d %.4d %s" entries, after "No errors" on success
    std::string FileName;             // the source path exactly as in the command line

    // stdErrFile: where the compiler's standard error is captured.
    TCompiller(TLauncher launcher, std::string stdErrFile)
        : launcher_(std::move(launcher)), stdErrFile_(std::move(stdErrFile)) {}
    virtual ~TCompiller() = default;

    // Runs the compiler command line with its standard error captured in the
    // capture file; true when the compiler's exit code is 0.
    bool Compile(const std::string& cmdLine);
    // Adds to Errors the diagnostics in Output that concern FileName (errors and warnings).
    void ParseErrors();

private:
    struct TErrorLine {
        int line = -1;
        std::string message;
    };
    bool FindErrorLine(std::size_t& cursor, TErrorLine& found) const;
    bool FindCaretLine(std::size_t& cursor, int& column) const;
    void Send(const std::string& msg);

    TLauncher launcher_;
    std::string stdErrFile_;
};

// A tool run through the launcher with nothing captured, its progress told in
// two texts: the interpreter's and the applet viewer's run.
class TToolRun {
public:
    TToolMessageEvent OnMessage;

    virtual ~TToolRun() = default;

    // Runs cmdLine; true on exit code 0.
    bool Run(const std::string& cmdLine);

protected:
    // startText before the start, exitText followed by the exit code at the end.
    TToolRun(TLauncher launcher, bool hidden, const char* startText, const char* exitText)
        : launcher_(std::move(launcher)), hidden_(hidden), startText_(startText), exitText_(exitText) {}

private:
    TLauncher launcher_;
    bool hidden_;
    const char* startText_;
    const char* exitText_;
};

// Runs a "command.com /K ..." line with its console shown.
class TInterpreter : public TToolRun {
public:
    explicit TInterpreter(TLauncher launcher)
        : TToolRun(std::move(launcher), false, "Run interpreter", "Interpreter exit code:  ") {}
};

// Runs a "command.com /C ..." line with its console hidden.
class TAppletViewer : public TToolRun {
public:
    explicit TAppletViewer(TLauncher launcher)
        : TToolRun(std::move(launcher), true, "Run Applet Viewer", "Applet Viewer exit code:  ") {}
};
