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
    const std::string bat = "C:\\Temp\\qp-run-7.bat";
    const struct { const char* shell; const char* command; const char* args; const char* line; const char* program; } cases[] = {
        {"command.com", "%c", "", "command.com /K \"C:\\Temp\\qp-run-7.bat\"", "\"C:\\jdk\\java.exe\" \"Hello\""},
        {"command.com", "%c", "a b", "command.com /K \"C:\\Temp\\qp-run-7.bat\"", "\"C:\\jdk\\java.exe\" \"Hello\" a b"},
        {"command.com", "-cp . %c -x %c", "1", "command.com /K \"C:\\Temp\\qp-run-7.bat\"",
         "\"C:\\jdk\\java.exe\" -cp . \"Hello\" -x %c 1"},
        // cmd.exe strips one outer pair of quotes from what follows /K.
        {"C:\\windows\\system32\\CMD.EXE", "%c", "a", "C:\\windows\\system32\\CMD.EXE /K \"\"C:\\Temp\\qp-run-7.bat\"\"",
         "\"C:\\jdk\\java.exe\" \"Hello\" a"},
        {"\"C:\\Program Files\\cmd.exe\"", "%c", "", "\"C:\\Program Files\\cmd.exe\" /K \"\"C:\\Temp\\qp-run-7.bat\"\"",
         "\"C:\\jdk\\java.exe\" \"Hello\""},
        // The project's command line is the program's arguments and nothing else.
        {"cmd.exe", "%c", "& calc", "cmd.exe /K \"\"C:\\Temp\\qp-run-7.bat\"\"", "\"C:\\jdk\\java.exe\" \"Hello\" & calc"},
        {"cmd.exe", "%c", "%PATH%", "cmd.exe /K \"\"C:\\Temp\\qp-run-7.bat\"\"", "\"C:\\jdk\\java.exe\" \"Hello\" %PATH%"},
    };
    for (const auto& c : cases) {
        const InterpreterRun run = MakeInterpreterRun(c.shell, bat, "C:\\jdk\\", "java.exe", c.command, "Hello", c.args);
        EXPECT_EQ(run.commandLine, c.line) << c.args;
        EXPECT_EQ(run.programLine, c.program) << c.args;
        EXPECT_EQ(run.batchText, "@setlocal DisableDelayedExpansion\r\n@" + BatchLineFor(c.program) + "\r\n");
    }
    EXPECT_EQ(FailureOf([&] { MakeInterpreterRun("command.com", bat, "C:\\jdk\\", "java.exe", "%j", "A", "x"); }),
              "Can't find \"%c\" in interpreter command");
}

// What cmd reads from a batch line: %% as %, ^x as x outside quotes, a caret at
// the end as the next line's first character.
TEST(InterpreterCommandLine, BatchLineLeavesOnlyRedirectionToTheShell) {
    const struct { const char* line; const char* batch; } cases[] = {
        {"\"C:\\jdk\\java.exe\" \"Hello\" & calc", "\"C:\\jdk\\java.exe\" \"Hello\" ^& calc"},
        {"a %PATH% 100%", "a %%PATH%% 100%%"},
        {"a | b ^ (c) &&", "a ^| b ^^ ^(c^) ^&^&"},
        {"\"a & b | ^ %x%\" & c", "\"a & b | ^ %%x%%\" ^& c"},  // quoted: text already, but % still counts
        {"< in.txt > out.txt 2>&1 >>log", "< in.txt > out.txt 2>&1 >>log"},
        {"x\"y\"& z", "x\"y\"^& z"},
        {"a\r\nb\rc\nd", "a^\n\nb^\n\nc^\n\nd"},
        {"\"a\nb\"", "\"a\"^\n\n\"b\""},
        {"\"unclosed & |", "\"unclosed & |"},
    };
    for (const auto& c : cases) EXPECT_EQ(BatchLineFor(c.line), c.batch) << c.line;
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

TEST(CommandInterpreter, TheSystemsOwnNeverOneFoundBySearch) {
    const struct { const char* comspec; bool cmd; const char* shell; } cases[] = {
        {"C:\\windows\\system32\\cmd.exe", true, "C:\\windows\\system32\\cmd.exe"},
        {"D:\\shells\\tcc.exe", true, "D:\\shells\\tcc.exe"},
        {"C:\\Program Files\\sh\\cmd.exe", true, "\"C:\\Program Files\\sh\\cmd.exe\""},
        {"\"C:\\Program Files\\sh\\cmd.exe\"", true, "\"C:\\Program Files\\sh\\cmd.exe\""},
        {"\\\\server\\tools\\cmd.exe", true, "\\\\server\\tools\\cmd.exe"},
        {"", true, "C:\\WINDOWS\\system32\\cmd.exe"},
        // A bare or relative name would be looked up in the current folder (the
        // source's) and on the PATH: a command.com there is never taken.
        {"command.com", true, "C:\\WINDOWS\\system32\\cmd.exe"},
        {".\\command.com", true, "C:\\WINDOWS\\system32\\cmd.exe"},
        {"", false, "C:\\WINDOWS\\command.com"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandInterpreterFor(c.comspec, "C:\\WINDOWS\\system32", c.cmd, "C:\\WINDOWS"), c.shell) << c.comspec;
    EXPECT_EQ(CommandInterpreterFor("", "C:\\", true, "C:\\"), "C:\\cmd.exe");
}

TEST(SourceEncoding, AnAsciiSourceTakesItsSiblingsEncoding) {
    const SourceBytes ascii{"Main.java", "class Main {}"}, utf8{"A.java", "// caf\xC3\xA9"},
        ansi{"Greeter.java", "// caf\xE9"}, ansi2{"B.java", "// \xFC"};
    const struct {
        SourceBytes source;
        std::vector<SourceBytes> siblings;
        const char* command;
        const char* encoding;
        const char* note;
    } cases[] = {
        {ascii, {}, "%j", "", ""},
        {ascii, {ascii, ansi}, "%j", "windows-1252", ""},
        {ascii, {utf8}, "%j", "UTF-8", ""},
        {ascii, {ansi}, "-encoding UTF-8 %j", "", ""},
        {utf8, {ascii}, "%j", "UTF-8", ""},
        {ascii, {utf8, ansi, ansi2}, "%j", "windows-1252",
         "Sources in different encodings: UTF-8: A.java; windows-1252: Greeter.java, B.java. javac reads them all "
         "as windows-1252: save them in one encoding, or put -encoding in the compiler command (Edit, Options)."},
        {utf8, {ansi, ansi2}, "%j", "UTF-8",  // the open file's own wins
         "Sources in different encodings: UTF-8: A.java; windows-1252: Greeter.java, B.java. javac reads them all "
         "as UTF-8: save them in one encoding, or put -encoding in the compiler command (Edit, Options)."},
    };
    for (const auto& c : cases) {
        const EncodingChoice choice = CompileEncodingFor(c.source, c.siblings, c.command, 1252);
        EXPECT_EQ(choice.encoding, c.encoding) << c.source.name << " " << c.siblings.size();
        EXPECT_EQ(choice.note, c.note) << c.source.name << " " << c.siblings.size();
    }
}

TEST(SourceEncoding, OnlyForBytesBeyondAscii) {
    const struct { std::string source; const char* command; unsigned acp; const char* encoding; } cases[] = {
        {"class A {}", "%j", 1252, ""},
        {"String s = \"caf\xC3\xA9\";", "%j", 1252, "UTF-8"},
        {"String s = \"caf\xE9\";", "%j", 1252, "windows-1252"},
        {"String s = \"\x82\xA0\";", "%j", 932, "MS932"},
        {"String s = \"\xC4\xE3\";", "%j", 936, "GBK"},  // valid UTF-8 lead, bad follower
        {"String s = \"caf\xE9\";", "-encoding Cp1252 %j", 1252, ""},
        // Cut off at the end, overlong, a surrogate, past U+10FFFF: not UTF-8.
        {"x\xE2\x82", "%j", 1252, "windows-1252"},
        {"x\xC0\xAF", "%j", 1252, "windows-1252"},
        {"x\xED\xA0\x80", "%j", 1252, "windows-1252"},
        {"x\xF4\x90\x80\x80", "%j", 1252, "windows-1252"},
        {"x\xF0\x9F\x98\x80", "%j", 1252, "UTF-8"},
    };
    for (const auto& c : cases) EXPECT_EQ(SourceEncodingFor(c.source, c.command, c.acp), c.encoding) << c.source;
    for (const auto& [cp, name] :
         {std::pair{949u, "MS949"}, {950u, "MS950"}, {1250u, "windows-1250"}, {874u, "x-windows-874"}})
        EXPECT_EQ(JavaCharsetName(cp), name);
}

TEST(SourceEncoding, GoesBeforeTheSource) {
    EXPECT_EQ(MakeCompilerCommandLine("C:\\jdk\\", "javac.exe", "-g %j", "C:\\w\\A.java", "UTF-8"),
              "\"C:\\jdk\\javac.exe\" -g -encoding UTF-8 \"C:\\w\\A.java\"");
    EXPECT_EQ(MakeCompilerCommandLine("C:\\jdk\\", "javac.exe", "%j %j", "A.java", "windows-1252"),
              "\"C:\\jdk\\javac.exe\" -encoding windows-1252 \"A.java\" %j");
}

TEST(PackageName, FirstDeclarationOutsideCommentsAndStrings) {
    const struct { std::string source; const char* name; } cases[] = {
        {"package app.util;\nclass A {}", "app.util"},
        {"/* package no; */ // package no;\n package  a . b\n.c ;", "a.b.c"},
        {"class A { String s = \"package no;\"; char q = '\"'; }\npackage late;", "late"},
        {"String t = \"\"\"\n package no;\n \\\"\"\" still\n \"\"\";\npackage yes;", "yes"},
        {"char c = '\\''; package p;", "p"},
        {"mypackage no; packages no; package 1no; package a.; package ok;", "ok"},
        {"package caf\xE9.x;", "caf\xE9.x"},
        {"class A {}", ""},
        {"package app.util", ""},
        {"/* package a; ", ""},
        {"\"package a;", ""},
        {"\"unclosed\npackage a;", "a"},
        {std::string("package\0a;", 10), ""},
    };
    for (const auto& c : cases) EXPECT_EQ(PackageNameOf(c.source), c.name) << c.source;
}

TEST(BuildPlace, PackageRootWhenTheFolderMatches) {
    const struct { const char* file; const char* package; const char* folder; const char* cls; const char* classFile; bool note; } cases[] = {
        {"C:\\work\\Hello.java", "", "C:\\work\\", "Hello", "Hello.class", false},
        {"C:\\work\\src\\app\\util\\Hello.java", "app.util", "C:\\work\\src\\", "app.util.Hello", "app/util/Hello.class", false},
        {"C:\\work\\SRC\\App\\Util\\Hello.java", "app.util", "C:\\work\\SRC\\", "app.util.Hello", "app/util/Hello.class", false},
        {"C:\\app\\Hello.java", "app", "C:\\", "app.Hello", "app/Hello.class", false},
        {"C:\\work\\myapp\\util\\Hello.java", "app.util", "C:\\work\\myapp\\util\\", "Hello", "Hello.class", true},
        {"C:\\work\\Hello.java", "app.util", "C:\\work\\", "Hello", "Hello.class", true},
        {"Untitled.java", "app", "", "Untitled", "Untitled.class", true},
    };
    for (const auto& c : cases) {
        const BuildPlace place = BuildPlaceFor(c.file, c.package);
        EXPECT_EQ(place.folder, c.folder) << c.file;
        EXPECT_EQ(place.className, c.cls) << c.file;
        EXPECT_EQ(place.classFile, c.classFile) << c.file;
        EXPECT_EQ(!place.note.empty(), c.note) << c.file;
    }
    EXPECT_EQ(BuildPlaceFor("C:\\w\\Hello.java", "app.util").note,
              "Hello.java is in package app.util but not in a folder app\\util, so it is compiled and run in its own "
              "folder as Hello; save it in a folder app\\util to run it as app.util.Hello.");
}

}  // namespace
