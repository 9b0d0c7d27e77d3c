// The settings holder on the real profile API: qp.ini beside this test program
// (its directory is the program's directory), project files in a temporary one.
#include "OptionsU.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QpErrors.h"
#include "QpText.h"
#include "ScriptedPrompts.h"

#include "OptionsFixture.h"

namespace {

using namespace settings_test;

TEST_F(OptionsTest, SettingsFileLiesBesideTheProgram) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.c_str()));
    EXPECT_EQ(TOptionsF::SettingsFileName(), ExtractFilePath(exe) + "qp.ini");

    WriteIni("[Editor]\r\nFontSize=13\r\n");
    TOptionsF options;
    EXPECT_EQ(options.EditorFont().size, 13);
    EXPECT_TRUE(options.JavaSdkValid());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(OptionsTest, NoSettingsFile) {
    prompts.messageAnswers = {IDOK};
    TOptionsF options;
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kNoSdkMessage);
    EXPECT_EQ(prompts.messages[0].caption, "Error");
    EXPECT_EQ(prompts.messages[0].type, UINT(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(options.JavaSdkValid());
    EXPECT_EQ(options.JavaSdkDir(), "c:\\jdk1.3\\bin\\");
    EXPECT_EQ(options.EditorFont().name, "Courier New");
    EXPECT_EQ(options.EditorFont().size, 10);
    EXPECT_FALSE(Exists(ini));  // written only by OK in the dialog
}

TEST_F(OptionsTest, DirectoryCheck) {
    const struct {
        const char* name;
        std::string dir;
        bool valid;
    } cases[] = {
        {"the tools", sdk, true},
        {"no backslash", sdk.substr(0, sdk.size() - 1), false},
        {"no tools", temp, false},
        {"missing directory", temp + "nowhere\\", false},
        {"over-long", std::string(3000, 'x') + "\\", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        if (!c.valid) prompts.messageAnswers = {IDOK};
        WriteAll(ini, "[JavaSDK]\r\nDirectory=" + c.dir + "\r\n");
        TOptionsF options;
        EXPECT_EQ(options.JavaSdkValid(), c.valid);
        ASSERT_EQ(prompts.messages.size(), c.valid ? 0u : 1u);
        EXPECT_EQ(options.JavaSdkDir(), c.dir);  // whole, however long
        if (!c.valid) {
            EXPECT_EQ(prompts.messages[0].text, JavaSdkDirMessage(options.JavaSdkDir()));
        }
    }
    // A directory where a tool should be is no tool.
    prompts.messages.clear();
    prompts.messageAnswers = {IDOK};
    WriteIni("");
    ASSERT_TRUE(DeleteFileA((sdk + "java.exe").c_str()));
    ASSERT_TRUE(CreateDirectoryA((sdk + "java.exe").c_str(), nullptr));
    TOptionsF options;
    EXPECT_FALSE(options.JavaSdkValid());
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(OptionsTest, SaveReadsBackAndKeepsOtherContent) {
    WriteIni("; a comment\r\n[Other]\r\nKey=keep\r\n[Editor]\r\nFontSize=11\r\n");
    {
        TOptionsF options;
        options.SetCompillerCommand("  -g %j  ");
        options.SetInterpreterCommand("\"%c\"");
        options.SetAppletViewerCommand("'%h'");
        options.EditorFont().SetName("Lucida Console");
        options.EditorFont().SetSize(14);
        options.SetAutoIndent(false);
        options.SaveOptions();
    }
    EXPECT_EQ(Profile(ini, "Other", "Key"), "keep");
    EXPECT_NE(ReadAll(ini).find("; a comment"), std::string::npos);
    EXPECT_EQ(Profile(ini, "Editor", "FontSize"), "14");
    EXPECT_EQ(Profile(ini, "Editor", "Autoindent"), "0");
    EXPECT_EQ(Profile(ini, "Editor", "SmartTabs"), "1");

    TOptionsF again;
    EXPECT_EQ(again.JavaSdkDir(), sdk);
    EXPECT_EQ(again.CompillerCommand(), "  -g %j  ");
    EXPECT_EQ(again.InterpreterCommand(), "\"%c\"");
    EXPECT_EQ(again.AppletViewerCommand(), "'%h'");
    EXPECT_EQ(again.EditorFont().name, "Lucida Console");
    EXPECT_EQ(again.EditorFont().size, 14);
    EXPECT_FALSE(again.AutoIndent());
    EXPECT_TRUE(again.SmartTabs());
}

// The API trims a default's blanks and cuts a long one; a missing key must
// still leave the setting exactly as it was.
TEST_F(OptionsTest, MissingKeysKeepValuesTheApiWouldAlter) {
    WriteIni("");
    TOptionsF options;
    const std::string longText(3000, 'c');
    options.SetCompillerCommand("%j  ");
    options.SetInterpreterCommand(longText);
    options.LoadOptions();
    EXPECT_EQ(options.CompillerCommand(), "%j  ");
    EXPECT_EQ(options.InterpreterCommand(), longText);
}

// In one loading a section's key names are read once: a key they lack gives the
// default as it stands, a key written meanwhile is seen, and so is a change to
// the file made before the next loading.
TEST_F(OptionsTest, ReadsInOneLoading) {
    std::string big = "[Big]\r\n";
    for (int i = 0; i < 1000; ++i) big += "Key" + std::to_string(i) + "=v\r\n";  // names past one buffer
    WriteIni(big + "[S]\r\nA=\"  a  \"\r\nLong=" + std::string(5000, 'L') + "\r\n");
    IProfile& profile = WindowsProfile();
    profile.BeginReads();
    EXPECT_EQ(profile.ReadString(ini, "Big", "key999", "-"), "v");
    EXPECT_EQ(profile.ReadString(ini, "S", "a", "-"), "  a  ");
    EXPECT_EQ(profile.ReadString(ini, "S", "Long", "-"), std::string(5000, 'L'));
    EXPECT_EQ(profile.ReadString(ini, "S", "B", " b "), " b ");
    ASSERT_TRUE(profile.WriteString(ini, "S", "B", "written"));
    EXPECT_EQ(profile.ReadString(ini, "S", "B", "-"), "written");
    profile.EndReads();
    WriteIni("[S]\r\nC=later\r\n");
    profile.BeginReads();
    EXPECT_EQ(profile.ReadString(ini, "S", "C", "-"), "later");
    profile.EndReads();
}

TEST_F(OptionsTest, DamagedSettingsFiles) {
    const std::string longText(5000, 'L');
    const struct {
        const char* name;
        std::string content;
        std::string compiler;
        std::string face;
        int size;
        bool autoIndent, smartTabs;
    } cases[] = {
        {"garbage lines",
         "garbage\r\n===\r\n]\r\n[\r\n[Editor]\r\nFontSize=abc\r\nAutoindent=2\r\n"
         "SmartTabs=0\r\nno equals sign\r\n",
         "%j", "Courier New", 10, true, false},
        {"binary bytes",
         std::string("\x00\x01\xff\xfe\x80[\x9d]\n=\x00\x7f\r\r\r\n", 15) +
             "[Editor]\r\nFontName=\x81\x8d\x90\xc3\r\nFontSize=\x01\x02\r\n",
         "%j", "\x81\x8d\x90\xc3", 10, true, true},
        {"utf-16 mark then bytes", std::string("\xff\xfe\x00[\x80\x81\n", 7), "%j",
         "Courier New", 10, true, true},
        {"over-long values",
         "[JavaSDK]\r\nCompillerCommand=" + longText + "\r\n[Editor]\r\nFontName=" + longText +
             "\r\n",
         longText, longText.substr(0, 31), 10, true, true},
        {"size 0x7FFFFFFF", "[Editor]\r\nFontSize=0x7FFFFFFF\r\n", "%j", "Courier New", 10, true,
         true},
        {"size 0x10", "[Editor]\r\nFontSize=0x10\r\n", "%j", "Courier New", 16, true, true},
        {"empty values", "[JavaSDK]\r\nCompillerCommand=\r\n[Editor]\r\nFontName=\r\nFontSize=\r\n"
         "Autoindent=\r\nSmartTabs=\r\n", "", "Courier New", 10, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        prompts.messageAnswers = {IDOK};  // the directory may well be lost to the damage
        WriteAll(ini, c.content);
        TOptionsF options;
        EXPECT_EQ(options.CompillerCommand(), c.compiler);
        EXPECT_EQ(options.EditorFont().name, c.face);
        EXPECT_EQ(options.EditorFont().size, c.size);
        EXPECT_EQ(options.AutoIndent(), c.autoIndent);
        EXPECT_EQ(options.SmartTabs(), c.smartTabs);
        EXPECT_LE(prompts.messages.size(), 1u);
        // The damaged file can still be written over and read back.
        options.SetJavaSdkDir(sdk);
        if (c.compiler.size() > kMaxProfileText) options.SetCompillerCommand("%j");  // refused: too long
        options.SaveOptions();
        TOptionsF again;
        EXPECT_EQ(again.CompillerCommand(), options.CompillerCommand());
        EXPECT_EQ(again.EditorFont().name, options.EditorFont().name);
        EXPECT_TRUE(again.JavaSdkValid());
    }
}

TEST_F(OptionsTest, SettingsFileThatCannotBeWritten) {
    // A directory in the way of qp.ini: reading finds nothing, writing fails.
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));
    prompts.messageAnswers = {IDOK};
    TOptionsF options;
    EXPECT_EQ(options.CompillerCommand(), "%j");
    try {
        options.SaveOptions();
        ADD_FAILURE() << "no failure reported";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
    }
}

TEST_F(OptionsTest, ReadOnlySettingsFile) {
    WriteIni("[Editor]\r\nFontSize=12\r\n");
    ASSERT_TRUE(SetFileAttributesA(ini.c_str(), FILE_ATTRIBUTE_READONLY));
    TOptionsF options;
    EXPECT_EQ(options.EditorFont().size, 12);  // reading is unaffected
    HANDLE h = CreateFileA(ini.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        GTEST_SKIP() << "this system lets the read-only file be written (Wine run as root)";
    }
    EXPECT_THROW(options.SaveOptions(), Exception);
    EXPECT_EQ(Profile(ini, "Editor", "FontSize"), "12");
}

TEST_F(OptionsTest, ProjectOptionsBesideTheSource) {
    const std::string hello = temp + "Hello.java";
    TOptionsF& options = OptionsWithSource(hello);
    EXPECT_EQ(options.ProjectOptionsFile(), temp + "Hello.ini");
    EXPECT_EQ(options.AppCommandLine(), "");
    options.SetAppCommandLine(" \"quoted arg\" x ");
    options.SetAppletHtmlFile("C:\\pages\\Hello.html");
    options.SaveProjectOptions();
    EXPECT_EQ(Profile(temp + "Hello.ini", "Parameters", "HTML"), "Hello.html");

    options.SetSourceFile(temp + "Other.java");
    EXPECT_EQ(options.AppCommandLine(), "");
    EXPECT_FALSE(Exists(temp + "Other.ini"));  // reading creates nothing

    WriteAll(temp + "Third.ini", "[Parameters]\r\nCommandLine=" + std::string(3000, 'a') +
                                     "\r\nHTML=C:\\pages\\Applet.html\r\n");
    options.SetSourceFile(temp + "Third.java");
    EXPECT_EQ(options.AppCommandLine(), std::string(3000, 'a'));  // whole
    EXPECT_EQ(options.AppletHtmlFile(), "Applet.html");

    options.SetSourceFile(hello);
    EXPECT_EQ(options.AppCommandLine(), " \"quoted arg\" x ");
    EXPECT_EQ(options.AppletHtmlFile(), "Hello.html");
}

// A dialog made at its first show: until then the settings live in the store,
// what was read or set before goes into its controls, and they hold it after.
TEST_F(OptionsTest, DialogMadeLaterShowsWhatTheStoreHeld) {
    WriteIni("CompillerCommand=-g %j\r\nInterpreterCommand=-cp . %c\r\nAppletViewerCommand=-v %h\r\n"
             "[Editor]\r\nFontName=Arial\r\nFontSize=14\r\nAutoindent=0\r\nSmartTabs=1\r\n");
    WriteAll(temp + "Hello.ini", "[Parameters]\r\nCommandLine=one two\r\nHTML=C:\\pages\\Hello.html\r\n");
    TOptionsF o(nullptr, TOptionsF::Window::OnFirstShow);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(o.JavaSdkValid());
    EXPECT_EQ(o.Handle(), nullptr);
    o.SetSourceFile(temp + "Hello.java");
    o.SetInterpreterCommand("-Xmx64m %c");
    o.SetSmartTabs(false);

    const auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        const struct {
            std::string value, expected;
        } rows[] = {
            {o.JavaSdkDir(), sdk},
            {o.CompillerCommand(), "-g %j"},
            {o.InterpreterCommand(), "-Xmx64m %c"},
            {o.AppletViewerCommand(), "-v %h"},
            {o.HtmlTemplate(), DefaultHtmlTemplate()},
            {o.AppCommandLine(), "one two"},
            {o.AppletHtmlFile(), "Hello.html"},
        };
        for (const auto& r : rows) EXPECT_EQ(r.value, r.expected);
        EXPECT_FALSE(o.AutoIndent());
        EXPECT_FALSE(o.SmartTabs());
    };
    check("before the dialog");
    o.CreateDialogWindow();
    ASSERT_NE(o.Handle(), nullptr);
    check("from the controls");
    const struct {
        HWND control;
        std::string text;
    } controls[] = {
        {o.JDirE, sdk},           {o.CompCommE, "-g %j"},       {o.IntCommE, "-Xmx64m %c"},
        {o.ApViewCommE, "-v %h"}, {o.AppComLineE, "one two"},   {o.AppHtmlE, "Hello.html"},
        {o.FontNameL, "Arial"},   {o.FontSizeL, "14"},          {o.PrjOptIniE, temp + "Hello.ini"},
    };
    for (const auto& c : controls) {
        char text[MAX_PATH] = "";
        GetWindowTextA(c.control, text, sizeof text);
        EXPECT_EQ(text, c.text);
    }
    EXPECT_EQ(SendMessageA(o.AutoindentCB, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(o.ActivePage(), 0);
    EXPECT_TRUE(GetWindowLongA(o.JavaSdkTS, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(o.EditorTS, GWL_STYLE) & WS_VISIBLE);
    // The controls hold the settings now: a change there is the setting.
    SetWindowTextA(o.CompCommE, "%j -deprecation");
    EXPECT_EQ(o.CompillerCommand(), "%j -deprecation");
    o.SaveOptions();
    EXPECT_EQ(Profile(ini, "JavaSDK", "CompillerCommand"), "%j -deprecation");
    EXPECT_EQ(Profile(ini, "JavaSDK", "InterpreterCommand"), "-Xmx64m %c");
}

// The SDK check and its message come at creation, whenever the dialog is made.
TEST_F(OptionsTest, DialogMadeLaterStillChecksTheSdkAtOnce) {
    prompts.messageAnswers = {IDOK};
    TOptionsF o(nullptr, TOptionsF::Window::OnFirstShow);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, kNoSdkMessage);
    EXPECT_FALSE(o.JavaSdkValid());
    EXPECT_EQ(o.Handle(), nullptr);
}

TEST_F(OptionsTest, ProjectFileWithoutDirectoryGoesToTheCurrentDirectory) {
    WriteIni("");
    TOptionsF options;
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.c_str()));
    const struct {
        const char* source;
        const char* file;
    } cases[] = {{nullptr, ".ini"}, {"Untitled.java", "Untitled.ini"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string inWindows = std::string(windows) + "\\" + c.file;
        DeleteFileA(inWindows.c_str());  // a stray of an earlier faulty build
        if (c.source) options.SetSourceFile(c.source);
        EXPECT_EQ(options.ProjectOptionsFile(), c.file);
        options.SetAppCommandLine("args");
        options.SaveProjectOptions();
        EXPECT_EQ(Profile(temp + c.file, "Parameters", "CommandLine"), "args");
        EXPECT_FALSE(Exists(inWindows));
        options.SetAppCommandLine("");
        options.LoadProjectOptions();
        EXPECT_EQ(options.AppCommandLine(), "args");
    }
}

TEST_F(OptionsTest, ProjectFileThatCannotBeWritten) {
    TOptionsF& options = OptionsWithSource(temp + "missing\\Hello.java");
    try {
        options.SaveProjectOptions();
        ADD_FAILURE() << "no failure reported";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + temp + "missing\\Hello.ini");
    }
}

}  // namespace
