// CreateDOSProcessRedirected with real child processes (the probe program).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "CompilerU.h"
#include "FilesWin32.h"
#include "LauncherWin32.h"
#include "QPadBuildU.h"
#include "QpErrors.h"
#include "ScopedWin32.h"
#include "TestFiles.h"
#include "ToolTestDir.h"

namespace {

std::string ProbePath() {
    std::string path(1, '"');
    path += ProgramFolder();
    path += "launch_probe.exe\"";
    return path;
}
const std::string kProbe = ProbePath();

// What the probe wrote about itself: first line the start-up facts, second its command line.
struct ProbeReport {
    std::string facts, cmdLine;
};
ProbeReport ReadReport(const std::string& path) {
    const std::string text = ReadFileText(path);
    const std::size_t first = text.find("\r\n");
    if (first == std::string::npos) return {text, ""};
    const std::size_t second = text.find("\r\n", first + 2);
    return {text.substr(0, first), text.substr(first + 2, second - first - 2)};
}

std::string ErrorOf(const std::string& cmdLine, const std::string& outFile) {
    std::uint32_t code = 12345;
    try {
        CreateDOSProcessRedirected(cmdLine, outFile, true, code);
    } catch (const Exception& e) {
        EXPECT_EQ(code, 12345u) << "exit code set although the launch failed";
        return e.what();
    }
    return "<no exception>";
}

std::string ErrorOfWrite(const std::string& path, const std::string& text) {
    try {
        WriteRunBatch(path, text);
    } catch (const Exception& e) {
        return e.what();
    }
    return "<no exception>";
}

TEST(Launcher, StartUpInformationAndStandardHandles) {
    const std::string dir = MakeTestDir("startup");
    struct Case {
        bool redirect, hidden;
        std::string facts;
    } cases[] = {
        // Redirected: show-window and std-handles flags, only standard error set.
        {true, true, "flags=257 show=0 in=0 out=0 err=1"},
        {true, false, "flags=257 show=10 in=0 out=0 err=1"},
        // Not redirected: only the show state is given; the console's handles remain.
        {false, true, "flags=1 show=0 in=1 out=1 err=1"},
        {false, false, "flags=1 show=10 in=1 out=1 err=1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.redirect ? "redirected" : "not redirected") +
                     (c.hidden ? ", hidden" : ", shown"));
        const std::string report = dir + "report.txt";
        DeleteFileA(report.c_str());
        const std::string out = c.redirect ? dir + "capture.out" : "";
        std::uint32_t code = 1;
        EXPECT_EQ(CreateDOSProcessRedirected(kProbe + " \"" + report + "\" 0", out, c.hidden, code),
                  0u);
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadReport(report).facts, c.facts);
        if (c.redirect) {
            EXPECT_EQ(ReadFileText(out), "probe stderr\r\n");
        }
    }
}

TEST(Launcher, NoRedirectionTouchesNoFile) {
    const std::string dir = MakeTestDir("nofile");
    const std::string reportDir = MakeTestDir("nofile_report");
    char saved[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof saved, saved);
    SetCurrentDirectoryA(dir.c_str());
    std::uint32_t code = 1;
    CreateDOSProcessRedirected(kProbe + " \"" + reportDir + "r.txt\" 0", "", true, code);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(code, 0u);
    WIN32_FIND_DATAA found;
    const ScopedFind find(FindFirstFileA((dir + "*").c_str(), &found));
    int entries = 0;
    if (find.Valid()) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") ++entries;
        } while (FindNextFileA(find.Get(), &found));
    }
    EXPECT_EQ(entries, 0);
}

TEST(Launcher, CaptureFileIsEmptiedNeverAppended) {
    const std::string dir = MakeTestDir("truncate");
    const std::string out = dir + "stderr.out";
    struct Case {
        const char* text;
        std::string expected;
    } cases[] = {
        {"short", "short"},
        {"-", ""},  // a child that writes nothing leaves an empty file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        WriteFileText(out, std::string(10000, 'X') + "\r\nold diagnostics\r\n");
        std::uint32_t code = 1;
        CreateDOSProcessRedirected(kProbe + " \"" + dir + "r.txt\" 0 " + c.text, out, true, code);
        EXPECT_EQ(ReadFileText(out), c.expected);
    }
}

TEST(Launcher, ExitCodeArrivesUnsigned) {
    const std::string dir = MakeTestDir("exit");
    struct Case {
        const char* given;
        std::uint32_t code;
    } cases[] = {{"0", 0}, {"1", 1}, {"9009", 9009}, {"-1", 4294967295u}, {"-2", 4294967294u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        std::uint32_t code = 77;
        CreateDOSProcessRedirected(kProbe + " \"" + dir + "r.txt\" " + c.given, "", true, code);
        EXPECT_EQ(code, c.code);
    }
}

TEST(Launcher, ProgramNotFoundFailsAfterCreatingTheCaptureFile) {
    const std::string dir = MakeTestDir("notfound");
    const std::string out = dir + "stderr.out";
    WriteFileText(out, "left from an earlier run");
    const std::string startFailure = "[function: CreateDOSProcessRedirected ]\n\nFunction failure";
    EXPECT_EQ(ErrorOf("qp_no_such_program.exe /x", out), startFailure);
    EXPECT_TRUE(FileExists(out));
    EXPECT_EQ(ReadFileText(out), "");
    EXPECT_EQ(ErrorOf("\"" + dir + "missing.exe\"", ""), startFailure);
}

TEST(Launcher, CaptureFileThatCannotBeCreatedStartsNoChild) {
    const std::string dir = MakeTestDir("badfile");
    const std::string out = dir + "no such folder\\stderr.out";
    const std::string report = dir + "r.txt";
    DeleteFileA(report.c_str());
    EXPECT_EQ(ErrorOf(kProbe + " \"" + report + "\" 0", out),
              "[function: CreateDOSProcessRedirected ]\n\n"
              "WinApi function CreateFile returned aninvalid handle value\n"
              "for the output file * " + out + " *");
    EXPECT_FALSE(FileExists(report));
}

// Longer than MAX_PATH: nothing is cut, nothing is written past a buffer.
TEST(Launcher, LongCommandLinesAndCaptureFileNames) {
    const std::string dir = MakeTestDir("long");
    const std::string report = dir + "r.txt";
    const std::string text(960, 'e');
    const std::string cmdLine = kProbe + " \"" + report + "\" 0 " + text;
    ASSERT_GE(cmdLine.size(), 1000u);

    std::string deep = dir;
    for (char c = 'a'; c <= 'c'; ++c) {
        deep += std::string(90, c) + "\\";
        const std::wstring wide(deep.begin(), deep.end());
        CreateDirectoryW(wide.c_str(), nullptr);
    }
    const std::string longOut = deep + "stderr.out";
    ASSERT_GT(longOut.size(), 300u);

    for (const std::string& out : {dir + "stderr.out", longOut}) {
        SCOPED_TRACE(out.size());
        DeleteFileA(report.c_str());
        std::uint32_t code = 1;
        CreateDOSProcessRedirected(cmdLine, out, true, code);
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadReport(report).cmdLine, cmdLine);
        // read back the way a compile reads it
        InitCompilerU();
        EXPECT_EQ(LoadCaptureFile(out), std::vector<std::string>{text});
        DoneCompilerU();
    }
}

// Run's batch line read by the system's own cmd.exe: the program gets the
// project's command line as its arguments, as text, and nothing else runs;
// < and > still redirect. (/C ends where Run's /K would stay; both read the
// line alike.)
TEST(RunBatch, TheSystemCmdPassesTheCommandLineAsText) {
    const std::string dir = MakeTestDir("batch");
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    ASSERT_TRUE(FileExists(cmd));
    const std::string report = dir + "report.txt", out = dir + "out.txt", in = dir + "in.txt";
    const std::string probeHead = "\"" + ProgramFolder() + "launch_probe.exe\" \"" + report + "\" 0 - ";
    WriteFileText(in, "typed\r\n");
    SetEnvironmentVariableA("QP_BATCH_TEST", "expanded");
    const struct { std::string args, received, stdoutFile; } cases[] = {
        {"& echo x > " + out, "& echo x", "probe stdout\r\n"},
        {"a | b", "a | b", ""},
        {"%QP_BATCH_TEST% 100% %%", "%QP_BATCH_TEST% 100% %%", ""},
        {"^ (x) !QP_BATCH_TEST! \"q & | ^ %QP_BATCH_TEST%\" &&", "^ (x) !QP_BATCH_TEST! \"q & | ^ %QP_BATCH_TEST%\" &&", ""},
        {"one\ntwo", "one\ntwo", ""},
        {"caf\xE9 \"Gr\xFC\xDF\"", "caf\xE9 \"Gr\xFC\xDF\"", ""},  // ANSI here, the console's code page in the file
        {"a > \"" + out + "\"", "a", "probe stdout\r\n"},
        {"a < \"" + in + "\" >\"" + out + "\" 2>&1", "a", "probe stdout\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        DeleteFileA(report.c_str());
        DeleteFileA(out.c_str());
        const InterpreterRun run =
            MakeInterpreterRun(cmd, dir + "run.bat", ProgramFolder(), "launch_probe.exe", "%c 0 -", report, c.args);
        WriteRunBatch(dir + "run.bat", run.batchText);
        std::string line = run.commandLine;
        line.replace(line.find(" /K "), 4, " /C ");
        std::uint32_t code = 1;
        CreateDOSProcessRedirected(line, "", true, code);
        EXPECT_EQ(code, 0u);
        // The blanks a redirection leaves behind vary (Windows' cmd and Wine's);
        // Windows' cmd keeps an escaped line feed, Wine's makes it a CR.
        std::string received = ReadReport(report).cmdLine;
        received.erase(received.find_last_not_of(' ') + 1);
        std::replace(received.begin(), received.end(), '\r', '\n');
        EXPECT_EQ(received, probeHead + c.received);
        EXPECT_EQ(FileExists(out) ? ReadFileText(out) : "", c.stdoutFile);
    }
    SetEnvironmentVariableA("QP_BATCH_TEST", nullptr);
    // A character the console's code page lacks would reach the program as another.
    EXPECT_EQ(ErrorOfWrite(dir + "run.bat", "@a \x80\r\n"),
              "The command line holds a character the console cannot pass on to the program");
    EXPECT_EQ(ErrorOfWrite(dir + "no such folder\\run.bat", "@a\r\n").rfind("Cannot write ", 0), 0u);
}

// Each instance captures into a file of its own, which goes when it ends.
TEST(CaptureFileName, IsSetAtStartUpFromTheTemporaryDirectory) {
    const std::string saved = StdErrFileName;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    InitCompilerU();
    EXPECT_EQ(StdErrFileName, std::string(temp) + "stderr-" + std::to_string(GetCurrentProcessId()) + ".out");
    const std::string capture = StdErrFileName;
    std::uint32_t code = 1;
    CreateDOSProcessRedirected(kProbe + " nul 0", capture, true, code);
    EXPECT_TRUE(FileExists(capture));
    DoneCompilerU();
    EXPECT_EQ(StdErrFileName, "");
    EXPECT_FALSE(FileExists(capture)) << "left behind at the end";
    StdErrFileName = saved;
}

}  // namespace
