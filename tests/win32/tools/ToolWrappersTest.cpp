// The three wrappers over the real launcher and the stand-in SDK tools.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>

#include "LauncherWin32.h"
#include "QpErrors.h"
#include "StandInSdk.h"
#include "TestFiles.h"
#include "ToolTestDir.h"

namespace {

using Lines = std::vector<std::string>;

class ToolWrappersTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTestDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        log = dir + "tools.log";
        DeleteFileA(log.c_str());
        savedStdErr = StdErrFileName;
        // A capture file of our own: other test programs may compile at the same time.
        StdErrFileName = dir + "stderr.out";
    }
    void TearDown() override { StdErrFileName = savedStdErr; }

    TToolMessageEvent Recorder() {
        return [this](void*, const std::string& msg) { events.push_back(msg); };
    }

    std::string dir, log, savedStdErr;
    Lines events;
};

TEST_F(ToolWrappersTest, CompilerReplaysRealCapturesThroughTheLauncher) {
    standin::ScopedEnv logEnv("QP_FIXTURE_LOG", log);
    const std::string javac = "\"" + standin::SdkDir() + "javac.exe\" ";
    struct Case {
        std::string capture, fileName, captureSource;
        bool success;
        Lines errors;
    } cases[] = {
        {"missing_semicolon", "C:\\work\\Hello.java", "", false, {"0003 0036  error: ';' expected"}},
        {"warning_only", "C:\\work\\Hello.java", "", true, {"No errors", "0003 0025  warning: [removal] Integer(int) in Integer has been deprecated and marked for removal"}},
        {"path_with_blanks", "C:\\work\\My Sources\\Hello.java", "", false,
         {"0003 0021  error: cannot find symbol"}},
        // Replayed for a source somewhere else: the stand-in puts in the path it was given.
        {"other_file", dir + "Hello.java", "C:\\work\\Hello.java", false,
         {"0004 0017  error: cannot find symbol"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capture);
        standin::ScopedEnv capture("QP_JAVAC_CAPTURE", standin::Capture(c.capture));
        standin::ScopedEnv source("QP_JAVAC_CAPTURE_SOURCE", c.captureSource);
        DeleteFileA(log.c_str());
        events.clear();
        TCompiller compiler(WindowsLauncher(), StdErrFileName);
        compiler.OnMessage = Recorder();
        compiler.FileName = c.fileName;
        const std::string cmdLine = javac + "\"" + c.fileName + "\"";
        EXPECT_EQ(compiler.Compile(cmdLine), c.success);
        EXPECT_EQ(compiler.Errors, c.errors);
        EXPECT_EQ(standin::ReadLog(log), Lines{cmdLine});
        std::string replayed = ReadFileText(standin::Capture(c.capture));
        for (std::size_t at = 0; !c.captureSource.empty() &&
                                 (at = replayed.find(c.captureSource, at)) != std::string::npos;
             at += c.fileName.size())
            replayed.replace(at, c.captureSource.size(), c.fileName);
        EXPECT_EQ(compiler.Output, SplitCaptureLines(replayed));
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back(), std::string("Compiller exit code:  ") + (c.success ? "0" : "1"));
    }
}

TEST_F(ToolWrappersTest, CompilerLauncherFailureLeavesListsEmpty) {
    StdErrFileName = dir + "missing folder\\stderr.out";
    TCompiller compiler(WindowsLauncher(), StdErrFileName);
    compiler.OnMessage = Recorder();
    compiler.FileName = "C:\\work\\Hello.java";
    EXPECT_THROW(compiler.Compile("\"" + standin::SdkDir() + "javac.exe\" x"), Exception);
    EXPECT_TRUE(compiler.Output.empty());
    EXPECT_TRUE(compiler.Errors.empty());
    EXPECT_EQ(events.back(), "Compiller exit code:  4294967295");
}

// "/K" keeps the console until it is closed: the wrapper must wait that long.
TEST_F(ToolWrappersTest, InterpreterWaitsForTheConsoleToClose) {
    standin::ScopedEnv logEnv("QP_FIXTURE_LOG", log);
    const std::string release = dir + "release";
    DeleteFileA(release.c_str());
    standin::ScopedEnv releaseEnv("QP_CONSOLE_RELEASE", release);
    standin::ScopedEnv exitEnv("QP_JAVA_EXIT", "3");

    const std::string java = "\"" + standin::SdkDir() + "java.exe\" \"Hello\" a b";
    const std::string cmdLine = standin::StandInShell::Path() + " /K " + java;
    TInterpreter interpreter(WindowsLauncher());
    interpreter.OnMessage = Recorder();
    auto run = std::async(std::launch::async, [&] { return interpreter.Run(cmdLine); });

    // The class has ended once the interpreter's line is in the log.
    for (int i = 0; i < 400 && standin::ReadLog(log).size() < 2; ++i) Sleep(25);
    EXPECT_EQ(standin::ReadLog(log), (Lines{cmdLine, java}));
    EXPECT_EQ(run.wait_for(std::chrono::milliseconds(500)), std::future_status::timeout)
        << "returned before the console was closed";

    WriteFileText(release, "");
    if (run.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the interpreter did not end after its console was released";
        std::_Exit(1);
    }
    EXPECT_FALSE(run.get());
    EXPECT_EQ(events, (Lines{"Run interpreter", "Interpreter exit code:  3"}));
}

TEST_F(ToolWrappersTest, AppletViewerRunsThroughCommandC) {
    standin::ScopedEnv logEnv("QP_FIXTURE_LOG", log);
    const std::string shell = standin::StandInShell::Path() + " /C ";
    const std::string viewer = "\"" + standin::SdkDir() + "appletviewer.exe\" \"Hello.html\"";
    struct Case {
        const char* exit;
        bool result;
    } cases[] = {{"0", true}, {"5", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exit);
        standin::ScopedEnv exitEnv("QP_APPLETVIEWER_EXIT", c.exit);
        DeleteFileA(log.c_str());
        events.clear();
        TAppletViewer applet(WindowsLauncher());
        applet.OnMessage = Recorder();
        EXPECT_EQ(applet.Run(shell + viewer), c.result);
        EXPECT_EQ(standin::ReadLog(log), (Lines{shell + viewer, viewer}));
        EXPECT_EQ(events, (Lines{"Run Applet Viewer", std::string("Applet Viewer exit code:  ") + c.exit}));
    }
}

TEST_F(ToolWrappersTest, MissingCommandInterpreterFails) {
    // Wine has no command.com of its own, and the stand-in is not on PATH.
    TInterpreter interpreter(WindowsLauncher());
    interpreter.OnMessage = Recorder();
    try {
        interpreter.Run("command.com /K \"" + standin::SdkDir() + "java.exe\" \"Hello\"");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "[function: CreateDOSProcessRedirected ]\n\nFunction failure");
    }
    EXPECT_EQ(events, (Lines{"Run interpreter", "Interpreter exit code:  4294967295"}));
}

}  // namespace
