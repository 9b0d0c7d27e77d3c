// The compiler wrapper, its diagnostics and the two run wrappers, over the fake
// launcher: capture splitting, parsing of real compiler captures, entry format,
// status texts and their order.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "CompilerU.h"
#include "FakeLauncher.h"
#include "QpErrors.h"
#include "TestFiles.h"

namespace {

using Lines = std::vector<std::string>;

std::string ReadFixture(const std::string& name) {
    const std::optional<std::string> bytes = ReadTestFile(std::string(QP_CAPTURES_DIR) + name);
    EXPECT_TRUE(bytes) << name;
    return bytes.value_or("");
}

class CompilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakeLaunch.Reset();
        fakeLaunch.events = &events;
        std::filesystem::create_directories(dir);
        compiler.OnMessage = [this](void* sender, const std::string& msg) {
            EXPECT_EQ(sender, &compiler);
            events.push_back(msg);
        };
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        fakeLaunch.Reset();
    }

    // Compiles with the fake writing text to the capture file and exiting with code.
    bool CompileWith(const std::string& text, std::uint32_t code,
                     const std::string& fileName = "C:\\work\\Hello.java") {
        fakeLaunch.stderrText = text;
        fakeLaunch.exitCode = code;
        compiler.FileName = fileName;
        return compiler.Compile("\"C:\\jdk\\bin\\javac.exe\" \"" + fileName + "\"");
    }

    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("qp_tools_" + std::to_string(::getpid()) + "_" +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string StdErrFileName = (dir / "stderr.out").string();
    std::vector<std::string> events;
    TCompiller compiler{FakeLauncher(), StdErrFileName};
};

TEST(CaptureLines, SplitsAtEveryKindOfBreak) {
    struct Case {
        std::string text;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\r", {"a", ""}},
        {"\r\n", {""}},
        {"\n\r\n\r", {"", "", ""}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {std::string("\0a", 2), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(SplitCaptureLines(c.text), c.lines);
    }
}

TEST(ErrorEntry, FormatsAndReadsBackLineColumnAndMessage) {
    struct Case {
        int line, column;
        std::string message, entry;
    } cases[] = {
        {7, 33, " ';' expected", "0007 0033  ';' expected"},
        {-1, 5, " x", "-0001 0005  x"},
        {0, 1, "", "0000 0001 "},
        {9999, 9999, "m", "9999 9999 m"},
        {10000, 123456, " m", "10000 123456  m"},
        {2147483647, 1, "%s %d", "2147483647 0001 %s %d"},
        {10030, 10025, " warning: [rawtypes] x", "10030 10025  warning: [rawtypes] x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(FormatErrorEntry(c.line, c.column, c.message), c.entry);
        int line = 0, column = 0;
        ReadErrorEntry(c.entry, line, column);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(column, c.column);
    }
}

TEST(CaptureFile, OneOfItsOwnForEachInstance) {
    const struct { const char* temp; std::uint32_t instance; const char* name; } cases[] = {
        {"C:\\Temp\\", 42, "C:\\Temp\\stderr-42.out"},
        {"C:\\Temp\\", 4294967295u, "C:\\Temp\\stderr-4294967295.out"},
        {"", 7, "stderr-7.out"},  // no temporary folder: the current one
    };
    for (const auto& c : cases) EXPECT_EQ(StdErrFileNameIn(c.temp, c.instance), c.name) << c.instance;
    EXPECT_NE(StdErrFileNameIn("C:\\Temp\\", 12), StdErrFileNameIn("C:\\Temp\\", 1));
}

TEST(CaptureFile, MissingFileIsAFailureNamingIt) {
    const std::string path = "/nonexistent/dir/stderr.out";
    try {
        LoadCaptureFile(path);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

// The real compiler's captured output (tests/fixtures/captures), parsed.
TEST_F(CompilerTest, ParsesRealCompilerCaptures) {
    struct Case {
        std::string capture, fileName;
        bool success;
        Lines errors;
    } cases[] = {
        {"missing_semicolon", "C:\\work\\Hello.java", false, {"0003 0036  error: ';' expected"}},
        {"missing_semicolon_old_shape", "C:\\work\\Hello.java", false, {"0003 0036  ';' expected"}},
        {"unknown_symbol", "C:\\work\\Hello.java", false, {"0003 0021  error: cannot find symbol"}},
        {"several_errors",
         "C:\\work\\Hello.java",
         false,
         {"0003 0017  error: incompatible types: String cannot be converted to int",
          "0004 0020  error: cannot find symbol", "0005 0019  error: cannot find symbol",
          "0009 0009  error: incompatible types: missing return value"}},
        {"several_errors_old_shape",
         "C:\\work\\Hello.java",
         false,
         {"0003 0017  incompatible types: String cannot be converted to int",
          "0004 0020  cannot find symbol", "0005 0019  cannot find symbol",
          "0009 0009  incompatible types: missing return value"}},
        // Other.java's diagnostic is not this file's.
        {"other_file", "C:\\work\\Hello.java", false, {"0004 0017  error: cannot find symbol"}},
        // Tabs before the caret count one column each.
        {"tab_indent", "C:\\work\\Hello.java", false, {"0003 0016  error: ';' expected"}},
        {"path_with_blanks", "C:\\work\\My Sources\\Hello.java", false,
         {"0003 0021  error: cannot find symbol"}},
        // Exit code 0 means success; the warnings are listed after the verdict.
        {"warning_only", "C:\\work\\Hello.java", true,
         {"No errors", "0003 0025  warning: [removal] Integer(int) in Integer has been deprecated and marked for removal"}},
        // Letter case matters: the echoed path must be the one in the command line.
        {"missing_semicolon", "c:\\work\\hello.java", false, {}},
        {"missing_semicolon", "C:\\work\\My Sources\\Hello.java", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capture + " as " + c.fileName);
        const std::string text = ReadFixture(c.capture + ".err");
        const auto code = static_cast<std::uint32_t>(std::stoul(ReadFixture(c.capture + ".exit")));
        EXPECT_EQ(CompileWith(text, code, c.fileName), c.success);
        EXPECT_EQ(compiler.Errors, c.errors);
        EXPECT_EQ(compiler.Output, SplitCaptureLines(text));
    }
}

TEST_F(CompilerTest, DiagnosticShapes) {
    const std::string F = "C:\\w\\A.java";
    const std::string caret10000 = std::string(10000, ' ') + "^";
    struct Case {
        const char* what;
        std::string text;
        Lines errors;
    } cases[] = {
        {"missing caret takes the next caret's column; the skipped error gives nothing",
         F + ":1: first\r\nsrc\r\n" + F + ":2: second\r\nsrc\r\n   ^\r\n", {"0001 0004  first"}},
        {"error line at the very end", F + ":1: a\r\nsrc\r\n  ^\r\n" + F + ":2: b\r\n",
         {"0001 0003  a"}},
        {"file name and colon without a further colon ends parsing",
         F + ":1: a\nx\n^\n" + F + ": no line number\n" + F + ":3: b\nx\n^\n", {"0001 0001  a"}},
        {"a line number that is no integer becomes -1",
         F + ":12a: m\nx\n ^\n" + F + ":: n\nx\n^\n" + F + ":99999999999: o\nx\n^\n",
         {"-0001 0002  m", "-0001 0001  n", "-0001 0001  o"}},
        {"the message is kept as it stands, colons included",
         F + ":4:: a: b :\nx\n^\n", {"0004 0001 : a: b :"}},
        {"large line and column written in full", F + ":123456: m\nx\n" + caret10000 + "\n",
         {"123456 10001  m"}},
        {"caret lines may carry blanks and control characters around the caret",
         F + ":1: a\nx\n \t ^ \t\x01\n", {"0001 0004  a"}},
        {"a caret with other text is no caret line",
         F + ":1: a\nx\n ^ here\n^^\n  ^\n", {"0001 0003  a"}},
        {"another file whose name begins with this one's",
         F + "x:1: other\nx\n^\n" + F.substr(3) + ":2: relative\nx\n^\n" + F + ":3: mine\nx\n^\n",
         {"0003 0001  mine"}},
        {"the line must begin with the name", " " + F + ":1: a\nx\n^\n", {}},
        {"entries follow the output's order",
         F + ":9: late\nx\n^\n" + F + ":2: early\nx\n ^\n", {"0009 0001  late", "0002 0002  early"}},
        {"no diagnostics at all", "javac: invalid flag: -foo\r\nUsage: javac\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        EXPECT_FALSE(CompileWith(c.text, 1, F));
        EXPECT_EQ(compiler.Errors, c.errors);
        EXPECT_EQ(std::count(events.begin(), events.end(), "Parsing errors"), 1);
    }
}

TEST_F(CompilerTest, StatusTextsInOrderAndTheLaunchAsked) {
    const std::string open = "Open " + StdErrFileName + " file";
    struct Case {
        const char* what;
        std::string text, fileName;
        std::uint32_t code;
        bool success;
        Lines events, errors;
    } cases[] = {
        {"success", "Note: uses unchecked operations.\r\n", "C:\\w\\A.java", 0, true,
         {open, "Run compiler", "<launch>", "Load output messages", "Parsing errors",
          "Compiller exit code:  0"},
         {"No errors"}},
        {"failure is parsed", "C:\\w\\A.java:1: x\r\ns\r\n^\r\n", "C:\\w\\A.java", 1, false,
         {open, "Run compiler", "<launch>", "Load output messages", "Parsing errors",
          "Compiller exit code:  1"},
         {"0001 0001  x"}},
        {"failure with empty output is not parsed", "", "C:\\w\\A.java", 2, false,
         {open, "Run compiler", "<launch>", "Load output messages", "Compiller exit code:  2"},
         {}},
        {"failure without a file name is not parsed", "C:\\w\\A.java:1: x\r\ns\r\n^\r\n", "", 1,
         false,
         {open, "Run compiler", "<launch>", "Load output messages", "Compiller exit code:  1"},
         {}},
        {"exit code -1 shows unsigned", "", "C:\\w\\A.java", 0xFFFFFFFFu, false,
         {open, "Run compiler", "<launch>", "Load output messages",
          "Compiller exit code:  4294967295"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        events.clear();
        fakeLaunch.calls.clear();
        EXPECT_EQ(CompileWith(c.text, c.code, c.fileName), c.success);
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(compiler.Errors, c.errors);
        ASSERT_EQ(fakeLaunch.calls.size(), 1u);
        EXPECT_EQ(fakeLaunch.calls[0].cmdLine, "\"C:\\jdk\\bin\\javac.exe\" \"" + c.fileName + "\"");
        EXPECT_EQ(fakeLaunch.calls[0].outFile, StdErrFileName);
        EXPECT_TRUE(fakeLaunch.calls[0].hidden);
    }
}

TEST_F(CompilerTest, EachCompileStartsAfresh) {
    CompileWith("C:\\work\\Hello.java:1: x\ns\n^\n", 1);
    ASSERT_EQ(compiler.Errors.size(), 1u);
    EXPECT_TRUE(CompileWith("", 0));
    EXPECT_EQ(compiler.Output, Lines{});
    EXPECT_EQ(compiler.Errors, Lines{"No errors"});
}

TEST_F(CompilerTest, LauncherFailurePassesThroughAfterTheLastStatusText) {
    compiler.Output = {"old"};
    compiler.Errors = {"old"};
    fakeLaunch.failStart = true;
    try {
        CompileWith("", 0);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), LauncherStartErrorText());
    }
    EXPECT_TRUE(compiler.Output.empty());
    EXPECT_TRUE(compiler.Errors.empty());
    EXPECT_EQ(events, (Lines{"Open " + StdErrFileName + " file", "Run compiler", "<launch>",
                             "Compiller exit code:  4294967295"}));
}

TEST_F(CompilerTest, UnreadableCaptureFileFailsAfterTheLastStatusText) {
    fakeLaunch.writeOutFile = false;  // so no capture file exists
    fakeLaunch.exitCode = 1;
    compiler.FileName = "C:\\w\\A.java";
    EXPECT_THROW(compiler.Compile("javac"), Exception);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), "Compiller exit code:  1");
    EXPECT_EQ(events[events.size() - 2], "Load output messages");
}

TEST_F(CompilerTest, WorksWithoutAProgressEvent) {
    compiler.OnMessage = nullptr;
    EXPECT_FALSE(CompileWith("C:\\work\\Hello.java:1: x\ns\n^\n", 1));
    EXPECT_EQ(compiler.Errors, Lines{"0001 0001  x"});
}

// Hostile captures: megabytes, huge lines, no breaks, zero bytes.
TEST_F(CompilerTest, LargeAndOddCapturesAreReadWhole) {
    const std::string F = "C:\\w\\A.java";
    const std::string noBreaks(8 << 20, 'x');
    std::string zeroInside = F + ":1: a\r\nx\r\n^\r\n" + std::string(3 << 20, 'y');
    zeroInside += std::string(1, '\0') + "\r\n" + F + ":2: hidden\r\nx\r\n^\r\n";
    const std::string longMessage(2 << 20, 'm');
    const std::string hugeCaret = F + ":1:" + longMessage + "\n" + std::string(1 << 20, 'x') +
                                  "\n" + std::string(1 << 20, ' ') + "^\n";
    struct Case {
        const char* what;
        const std::string& text;
        std::size_t lines;
        Lines errors;
    } cases[] = {
        {"no line breaks", noBreaks, 1, {}},
        {"a zero byte ends the text", zeroInside, 4, {"0001 0001  a"}},
        {"very long lines", hugeCaret, 3, {FormatErrorEntry(1, (1 << 20) + 1, longMessage)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(CompileWith(c.text, 1, F));
        EXPECT_EQ(compiler.Output.size(), c.lines);
        EXPECT_EQ(compiler.Errors, c.errors);
    }
    EXPECT_EQ(compiler.Output[1].size(), std::size_t{1} << 20);
}

// Loose check that reading and parsing grow linearly: 8 times the lines may
// take at most 40 times as long (a quadratic step would take about 64 times).
TEST_F(CompilerTest, ParsingTimeGrowsLinearly) {
    const std::string block = ReadFixture("several_errors.err");
    auto timeFor = [&](int copies) {
        std::string text;
        for (int i = 0; i < copies; ++i) text += block;
        const auto start = std::chrono::steady_clock::now();
        CompileWith(text, 1);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(compiler.Errors.size(), 4u * copies);
        return std::chrono::duration<double>(took).count();
    };
    timeFor(200);  // warm up
    const double small = timeFor(1000), large = timeFor(8000);
    std::printf("1000 blocks: %.3f s, 8000 blocks: %.3f s\n", small, large);
    EXPECT_LT(large, 40 * small + 0.05);
}

// The interpreter and the applet viewer: same steps, their own texts and show state.
TEST(RunWrappers, StatusTextsResultAndLaunch) {
    struct Wrapper {
        const char* name;
        std::function<bool(const TToolMessageEvent&, const std::string&, void*&)> run;
        bool hidden;
        std::string start, exit;
    };
    TInterpreter interpreter{FakeLauncher()};
    TAppletViewer viewer{FakeLauncher()};
    const Wrapper wrappers[] = {
        {"interpreter",
         [&](const TToolMessageEvent& e, const std::string& cmd, void*& self) {
             interpreter.OnMessage = e;
             self = &interpreter;
             return interpreter.Run(cmd);
         },
         false, "Run interpreter", "Interpreter exit code:  "},
        {"applet viewer",
         [&](const TToolMessageEvent& e, const std::string& cmd, void*& self) {
             viewer.OnMessage = e;
             self = &viewer;
             return viewer.Run(cmd);
         },
         true, "Run Applet Viewer", "Applet Viewer exit code:  "},
    };
    struct Outcome {
        std::uint32_t code;
        bool fail, result;
        std::string shown;
    } outcomes[] = {
        {0, false, true, "0"},
        {3, false, false, "3"},
        {0xFFFFFFFFu, false, false, "4294967295"},
        {0, true, false, "4294967295"},
    };
    for (const auto& w : wrappers) {
        for (const auto& o : outcomes) {
            SCOPED_TRACE(std::string(w.name) + " exit " + o.shown + (o.fail ? " (start fails)" : ""));
            fakeLaunch.Reset();
            std::vector<std::string> events;
            fakeLaunch.events = &events;
            fakeLaunch.exitCode = o.code;
            fakeLaunch.failStart = o.fail;
            void* self = nullptr;
            std::vector<void*> senders;
            const TToolMessageEvent onMessage = [&](void* sender, const std::string& msg) {
                senders.push_back(sender);
                events.push_back(msg);
            };
            const std::string cmd = "command.com /K \"C:\\jdk\\bin\\java.exe\" \"Hello\" a b";
            if (o.fail) {
                EXPECT_THROW(w.run(onMessage, cmd, self), Exception);
            } else {
                EXPECT_EQ(w.run(onMessage, cmd, self), o.result);
            }
            EXPECT_EQ(events, (Lines{w.start, "<launch>", w.exit + o.shown}));
            for (void* s : senders) EXPECT_EQ(s, self);
            ASSERT_EQ(fakeLaunch.calls.size(), 1u);
            EXPECT_EQ(fakeLaunch.calls[0].cmdLine, cmd);
            EXPECT_EQ(fakeLaunch.calls[0].outFile, "");
            EXPECT_EQ(fakeLaunch.calls[0].hidden, w.hidden);
        }
    }
    fakeLaunch.Reset();
}

}  // namespace
