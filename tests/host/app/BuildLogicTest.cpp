#include <gtest/gtest.h>

#include <functional>

#include "QPadBuildU.h"
#include "QpErrors.h"

namespace {

TEST(BuildNames, FromTheNamePartOfTheSource) {
    const struct { const char* file; const char* cls; const char* classFile; const char* page; } cases[] = {
        {"C:\\work\\Hello.java", "Hello", "Hello.class", "Hello.html"},
        {"C:\\work\\my.app.java", "my.app", "my.app.class", "my.app.html"},
        {"Untitled.java", "Untitled", "Untitled.class", "Untitled.html"},
        {"C:\\dotted.dir\\Hello", "Hello", "Hello.class", "Hello.html"},
        {"D:Hello.java", "Hello", "Hello.class", "Hello.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassNameFor(c.file), c.cls) << c.file;
        EXPECT_EQ(ClassFileNameFor(c.file), c.classFile) << c.file;
        EXPECT_EQ(DefaultPageNameFor(c.file), c.page) << c.file;
    }
}

std::string FailureOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Exception& e) {
        return e.what();
    }
    return "<no failure>";
}

TEST(CompilerCommandLine, PlaceholderRule) {
    const struct { const char* dir; const char* command; const char* file; const char* line; } cases[] = {
        {"C:\\jdk\\bin\\", "%j", "C:\\work\\Hello.java", "\"C:\\jdk\\bin\\javac.exe\" \"C:\\work\\Hello.java\""},
        {"C:\\jdk\\bin\\", "-g %j -d . %j", "A.java", "\"C:\\jdk\\bin\\javac.exe\" -g \"A.java\" -d . %j"},
        // The directory is searched too, and the value is not escaped.
        {"C:\\%j\\", "%j", "a\"b", "\"C:\\\"a\"b\"\\javac.exe\" %j"},
        {"C:\\jdk\\bin", "%j", "Untitled.java", "\"C:\\jdk\\binjavac.exe\" \"Untitled.java\""},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeCompilerCommandLine(c.dir, "javac.exe", c.command, c.file), c.line);
    EXPECT_EQ(FailureOf([] { MakeCompilerCommandLine("C:\\jdk\\", "javac.exe", "-g %J %c", "A.java"); }),
              "Can't find \"%j\" in compiler command");
}

TEST(InterpreterCommandLine, ClassQuotedAndArgumentsLast) {
    const struct { const char* shell; const char* command; const char* args; const char* line; } cases[] = {
        {"command.com", "%c", "", "command.com /K \"C:\\jdk\\java.exe\" \"Hello\""},
        {"command.com", "%c", "a b", "command.com /K \"C:\\jdk\\java.exe\" \"Hello\" a b"},
        {"command.com", "-cp . %c -x %c", "1", "command.com /K \"C:\\jdk\\java.exe\" -cp . \"Hello\" -x %c 1"},
        // cmd.exe strips one outer pair of quotes from what follows /K.
        {"C:\\windows\\system32\\CMD.EXE", "%c", "a", "C:\\windows\\system32\\CMD.EXE /K \"\"C:\\jdk\\java.exe\" \"Hello\" a\""},
        {"\"C:\\Program Files\\cmd.exe\"", "%c", "", "\"C:\\Program Files\\cmd.exe\" /K \"\"C:\\jdk\\java.exe\" \"Hello\"\""},
        {"C:\\tools\\command.com", "%c", "", "C:\\tools\\command.com /K \"C:\\jdk\\java.exe\" \"Hello\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MakeInterpreterCommandLine(c.shell, "C:\\jdk\\", "java.exe", c.command, "Hello", c.args), c.line);
    EXPECT_EQ(FailureOf([] { MakeInterpreterCommandLine("command.com", "C:\\jdk\\", "java.exe", "%j", "A", "x"); }),
              "Can't find \"%c\" in interpreter command");
}

TEST(AppletViewerCommandLine, PageLookedUpOnlyAfterThePlaceholderIsFound) {
    int lookups = 0;
    auto page = [&] { ++lookups; return std::string("Hello.html"); };
    EXPECT_EQ(MakeAppletViewerCommandLine("command.com", "C:\\jdk\\", "appletviewer.exe", "%h -J %h", page),
              "command.com /C \"C:\\jdk\\appletviewer.exe\" \"Hello.html\" -J %h");
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(MakeAppletViewerCommandLine("cmd", "C:\\jdk\\", "appletviewer.exe", "%h", page),
              "cmd /C \"\"C:\\jdk\\appletviewer.exe\" \"Hello.html\"\"");
    EXPECT_EQ(FailureOf([&] { MakeAppletViewerCommandLine("command.com", "C:\\jdk\\", "appletviewer.exe", "%c", page); }),
              "Can't find \"%h\" in Applet viewer command");
    EXPECT_EQ(lookups, 2);
    auto missing = [] () -> std::string { throw Exception(AppletPageMissingText("My.html")); };
    EXPECT_EQ(FailureOf([&] { MakeAppletViewerCommandLine("command.com", "C:\\jdk\\", "appletviewer.exe", "%h", missing); }),
              "Applet HTML file is not defined\rCan't find My.html");
}

TEST(AppletPage, FirstClassPlaceholderUnquoted) {
    EXPECT_EQ(AppletPageText("<APPLET CODE=\"%c\">\r\n%c", "Hello.class"), "<APPLET CODE=\"Hello.class\">\r\n%c");
    EXPECT_EQ(FailureOf([] { AppletPageText("<APPLET CODE=\"%h\">", "A.class"); }),
              "Can't find \"%c\" in HTML template");
    EXPECT_EQ(AppletPageNameFor("", "C:\\w\\Hello.java"), "Hello.html");
    EXPECT_EQ(AppletPageNameFor("page.htm", "C:\\w\\Hello.java"), "page.htm");
}

TEST(CommandInterpreter, CommandComFirstThenComspec) {
    const struct { bool found; const char* comspec; const char* shell; } cases[] = {
        {true, "C:\\windows\\system32\\cmd.exe", "command.com"},
        {false, "C:\\windows\\system32\\cmd.exe", "C:\\windows\\system32\\cmd.exe"},
        {false, "C:\\Program Files\\sh\\cmd.exe", "\"C:\\Program Files\\sh\\cmd.exe\""},
        {false, "\"C:\\Program Files\\sh\\cmd.exe\"", "\"C:\\Program Files\\sh\\cmd.exe\""},
        {false, "", "command.com"},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandInterpreterFor(c.found, c.comspec), c.shell) << c.comspec;
}

}  // namespace
