#include "OptionsStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "MemoryProfile.h"
#include "QpErrors.h"

namespace {

const std::string kIni = "C:\\prog\\qp.ini";

class TestStore : public TOptionsStore {
public:
    explicit TestStore(MemoryProfile& profile, bool create = true) : TOptionsStore(profile) {
        if (create) Create();
    }
    std::vector<std::string> errors;
    std::vector<std::string> shownFiles;
    int fontChanges = 0;
    std::vector<int> textsTold, switchesTold;  // the settings the view was told of, in order
    using TOptionsStore::SetText;
    using TOptionsStore::Text;
    using TOptionsStore::Switch;

protected:
    void TextChanged(TextSetting which) override { textsTold.push_back(static_cast<int>(which)); }
    void SwitchChanged(SwitchSetting which) override { switchesTold.push_back(static_cast<int>(which)); }
    std::string SettingsFile() const override { return kIni; }
    void ReportJavaSdkError(const std::string& text) override { errors.push_back(text); }
    void EditorFontChange() override { ++fontChanges; }
    void ShowProjectOptionsFile(const std::string& name) override { shownFiles.push_back(name); }
};

// The ten settings qp.ini holds, for comparing a store as a whole.
struct Globals {
    std::string dir = "c:\\jdk1.3\\bin\\", comp = "%j", interp = "%c", viewer = "%h";
    std::string face = "Courier New";
    int size = 10;
    bool autoIndent = true, smartTabs = true, colouring = true;
    bool operator==(const Globals&) const = default;
};

Globals Snapshot(TOptionsStore& s) {
    return {s.JavaSdkDir(),        s.CompillerCommand(), s.InterpreterCommand(),
            s.AppletViewerCommand(), s.EditorFont().name, s.EditorFont().size,
            s.AutoIndent(),        s.SmartTabs(),        s.Colouring()};
}

std::ostream& operator<<(std::ostream& os, const Globals& g) {
    return os << "{" << g.dir << " | " << g.comp << " | " << g.interp << " | " << g.viewer
              << " | " << g.face << " | " << g.size << " | " << g.autoIndent << g.smartTabs << g.colouring << "}";
}

const std::vector<std::string> kGlobalKeys = {
    "JavaSDK/Directory",  "JavaSDK/CompillerCommand", "JavaSDK/InterpreterCommand",
    "JavaSDK/AppletViewerCommand", "Editor/FontName", "Editor/FontSize",
    "Editor/Autoindent",  "Editor/SmartTabs", "Editor/NewFilesUTF8",
    "Editor/Colour"};

TEST(ProfileValues, Integers) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"10", 10},          {"0", 0},
        {"-5", -5},          {"+7", 7},
        {"2147483647", 2147483647},  {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x1F", 31},        {"0X1f", 31},
        {"0x0", 0},          {"0x7FFFFFFF", 2147483647},
        {"0xFFFFFFFF", -1},  {"0x100000000", std::nullopt},
        {"0x0000000000C", 12},
        {"0x", std::nullopt},  {"0X", std::nullopt},
        {"0xG", std::nullopt}, {"0x-1", std::nullopt}, {"-0x5", std::nullopt},
        {"", std::nullopt},    {"abc", std::nullopt},  {"12abc", std::nullopt},
        {" 5", std::nullopt},  {"5 ", std::nullopt},   {"-", std::nullopt},
        {"+", std::nullopt},   {"1e3", std::nullopt},  {"\x80\xff", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseProfileInt(c.text), c.value);
    }
}

TEST(ProfileValues, EncodedForWriting) {
    const struct {
        std::string value, written;
    } cases[] = {
        {"%j", "%j"},
        {"", ""},
        {"-classpath . %j", "-classpath . %j"},
        {" %j", "\" %j\""},
        {"%j\t", "\"%j\t\""},
        {"\"%c\"", "\"\"%c\"\""},
        {"'%c'", "\"'%c'\""},
        {"\"C:\\My Files\\x\" %j", "\"C:\\My Files\\x\" %j"},  // quotes that don't pair up stay
        {"\"", "\""},
        {"first\r\n[JavaSDK]\r\nDirectory=x", "first"},
        {"first\nsecond", "first"},
        {"\r\nx", ""},
        {"\x1a%j", "\"\x1a%j\""},  // Ctrl-Z is trimmed like a blank
        {"%j\x1a", "\"%j\x1a\""},
        {"a\x1a" "b", "a\x1a" "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(EncodeProfileValue(c.value), c.written);
    }
}

TEST(ProfileValues, WhatCannotBeStored) {
    const struct {
        std::string value;
        bool storable;
    } cases[] = {
        {std::string(kMaxProfileText, 'a'), true}, {std::string(kMaxProfileText + 1, 'a'), false},
        {"", true},        {" \"'\x1a\xff", true},
        {"a\rb", false},   {"a\nb", false},
        {std::string("a\0b", 3), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.size());
        EXPECT_EQ(ProfileValueProblem(c.value).empty(), c.storable);
    }
}

TEST(ProfileValues, FileNames) {
    const struct {
        const char* source;
        const char* options;
    } projects[] = {
        {"C:\\work\\Hello.java", "C:\\work\\Hello.ini"},
        {"Untitled.java", "Untitled.ini"},
        {"", ".ini"},
        {"C:\\a.b\\NoExt", "C:\\a.b\\NoExt.ini"},
        {"C:\\work\\Hello.tar.java", "C:\\work\\Hello.tar.ini"},
        {"D:Hello.java", "D:Hello.ini"},
    };
    for (const auto& c : projects) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(ProjectOptionsFileFor(c.source), c.options);
    }

    const struct {
        const char* name;
        const char* resolved;
    } bare[] = {
        {"Untitled.ini", "C:\\cwd\\Untitled.ini"},
        {".ini", "C:\\cwd\\.ini"},
        {"C:\\work\\Hello.ini", "C:\\work\\Hello.ini"},
        {"D:Hello.ini", "D:Hello.ini"},
    };
    for (const auto& c : bare) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ResolveBareFileName(c.name, "C:\\cwd\\"), c.resolved);
    }
}

TEST(ProfileValues, FixedTexts) {
    EXPECT_EQ(JavaSdkDirMessage("C:\\jdk\\bin"),
              "C:\\jdk\\bin\ris not Java SDK directory\r\rCan not find \r  javac.exe or\r"
              "  java.exe");
    EXPECT_EQ(DefaultHtmlTemplate(),
              "<HTML>\r\n<HEAD>\r\n<TITLE> A Simple Program </TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
              "<APPLET CODE=\"%c\" WIDTH=150 HEIGHT=25>\r\n</APPLET>\r\n</BODY>\r\n</HTML>");
}

TEST(Creation, WithoutSettingsFile) {
    MemoryProfile profile;
    TestStore store(profile);
    EXPECT_EQ(Snapshot(store), Globals{});
    EXPECT_EQ(store.EditorFont().style, 0u);
    EXPECT_EQ(store.EditorFont().color, TEditorFont::kWindowText);
    EXPECT_EQ(store.EditorFont().charset, TEditorFont::kEastEuropeCharset);
    EXPECT_GE(store.fontChanges, 1);  // the display shows the default at once
    EXPECT_EQ(store.HtmlTemplate(), DefaultHtmlTemplate());
    EXPECT_EQ(store.CompilerFile(), "javac.exe");
    EXPECT_EQ(store.InterpreterFile(), "java.exe");
    EXPECT_EQ(store.AppletViewerFile(), "appletviewer.exe");
    EXPECT_EQ(store.SourceFile(), "");
    EXPECT_EQ(store.ProjectOptionsFile(), ".ini");
    EXPECT_EQ(profile.reads, kGlobalKeys);
    EXPECT_TRUE(profile.writes.empty());  // nothing is written until OK
    EXPECT_FALSE(store.JavaSdkValid());
    ASSERT_EQ(store.errors.size(), 1u);
    EXPECT_EQ(store.errors[0], JavaSdkDirMessage("c:\\jdk1.3\\bin\\"));
}

TEST(Creation, ChecksTheLoadedDirectory) {
    const std::string dir = "C:\\jdk\\bin\\";
    const struct {
        const char* name;
        std::vector<std::string> present;
        std::size_t asked;  // the check stops at the first missing tool
        bool valid;
    } cases[] = {
        {"all three", {"javac.exe", "java.exe", "appletviewer.exe"}, 2, true},
        {"no javac", {"java.exe", "appletviewer.exe"}, 1, false},
        {"no java", {"javac.exe", "appletviewer.exe"}, 2, false},
        {"no appletviewer", {"javac.exe", "java.exe"}, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryProfile profile;
        profile.Set(kIni, "JavaSDK", "Directory", dir);
        for (const auto& tool : c.present) profile.existingFiles.insert(dir + tool);
        TestStore store(profile);
        EXPECT_EQ(store.JavaSdkValid(), c.valid);
        ASSERT_EQ(profile.existsCalls.size(), c.asked);
        const std::vector<std::string> order = {dir + "javac.exe", dir + "java.exe"};
        EXPECT_EQ(profile.existsCalls, std::vector<std::string>(order.begin(),
                                                                 order.begin() + c.asked));
        EXPECT_EQ(store.errors.size(), c.valid ? 0u : 1u);
    }
}

TEST(Creation, DirectoryWithoutBackslashIsTakenAsItStands) {
    MemoryProfile profile;
    profile.Set(kIni, "JavaSDK", "Directory", "C:\\jdk\\bin");
    for (const char* tool : {"javac.exe", "java.exe", "appletviewer.exe"})
        profile.existingFiles.insert(std::string("C:\\jdk\\bin\\") + tool);
    TestStore store(profile);
    EXPECT_EQ(store.JavaSdkDir(), "C:\\jdk\\bin");
    EXPECT_FALSE(store.JavaSdkValid());
    EXPECT_EQ(profile.existsCalls.at(0), "C:\\jdk\\binjavac.exe");
    ASSERT_EQ(store.errors.size(), 1u);
    EXPECT_EQ(store.errors[0].substr(0, store.errors[0].find('\r')), "C:\\jdk\\bin");
}

TEST(LoadOptions, ValuesFromTheFile) {
    const std::string longText(5000, 'q');
    const std::string longFace = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij";  // 36 characters
    struct Entry {
        const char* section;
        const char* key;
        std::string value;
    };
    const struct {
        const char* name;
        std::vector<Entry> file;
        Globals expected;
    } cases[] = {
        {"every key",
         {{"JavaSDK", "Directory", "D:\\sdk\\bin\\"}, {"JavaSDK", "CompillerCommand", "-g %j"},
          {"JavaSDK", "InterpreterCommand", "-cp . %c"}, {"JavaSDK", "AppletViewerCommand", "%h x"},
          {"Editor", "FontName", "Lucida Console"}, {"Editor", "FontSize", "12"},
          {"Editor", "Autoindent", "0"}, {"Editor", "SmartTabs", "0"}, {"Editor", "Colour", "0"}},
         {"D:\\sdk\\bin\\", "-g %j", "-cp . %c", "%h x", "Lucida Console", 12, false, false, false}},
        {"empty values",
         {{"JavaSDK", "Directory", ""}, {"JavaSDK", "CompillerCommand", ""},
          {"JavaSDK", "InterpreterCommand", ""}, {"JavaSDK", "AppletViewerCommand", ""},
          {"Editor", "FontName", ""}, {"Editor", "FontSize", ""},
          {"Editor", "Autoindent", ""}, {"Editor", "SmartTabs", ""}},
         {"", "", "", "", "Courier New", 10, true, true}},
        {"numbers",
         {{"Editor", "FontSize", "abc"}, {"Editor", "Autoindent", "2"},
          {"Editor", "SmartTabs", "0"}},
         {.autoIndent = true, .smartTabs = false}},
        {"hexadecimal",
         {{"Editor", "FontSize", "0x0C"}, {"Editor", "Autoindent", "0x0"},
          {"Editor", "SmartTabs", "0X10"}},
         {.size = 12, .autoIndent = false, .smartTabs = true}},
        {"negative Boolean", {{"Editor", "Autoindent", "-1"}}, {.autoIndent = true}},
        {"size 0", {{"Editor", "FontSize", "0"}}, {}},
        {"size -5", {{"Editor", "FontSize", "-5"}}, {}},
        {"size 100000", {{"Editor", "FontSize", "100000"}}, {}},
        {"size 0x7FFFFFFF", {{"Editor", "FontSize", "0x7FFFFFFF"}}, {}},
        {"size 401", {{"Editor", "FontSize", "401"}}, {}},
        {"size 1", {{"Editor", "FontSize", "1"}}, {.size = 1}},
        {"size 400", {{"Editor", "FontSize", "400"}}, {.size = 400}},
        {"long face", {{"Editor", "FontName", longFace}}, {.face = longFace.substr(0, 31)}},
        {"long texts",
         {{"JavaSDK", "Directory", longText}, {"JavaSDK", "CompillerCommand", longText},
          {"Editor", "FontName", longText}},
         {.dir = longText, .comp = longText,
          .face = longText.substr(0, 31)}},
        {"binary bytes",
         {{"JavaSDK", "CompillerCommand", "\x01\x80\xff%j"}, {"Editor", "FontSize", "\x01\x80"}},
         {.comp = "\x01\x80\xff%j"}},
        {"no backslash", {{"JavaSDK", "Directory", "C:\\jdk\\bin"}}, {.dir = "C:\\jdk\\bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryProfile profile;
        for (const auto& e : c.file) profile.Set(kIni, e.section, e.key, e.value);
        TestStore store(profile);
        EXPECT_EQ(Snapshot(store), c.expected);
    }
}

// Leaving the dialog without OK reloads the file: keys the file lacks keep what
// was edited, keys it holds come back.
TEST(LoadOptions, MissingKeysKeepTheCurrentValues) {
    MemoryProfile profile;
    TestStore store(profile);
    profile.Set(kIni, "JavaSDK", "CompillerCommand", "-g %j");
    profile.Set(kIni, "Editor", "FontSize", "14");
    store.SetJavaSdkDir("E:\\x\\");
    store.SetCompillerCommand("edited");
    store.SetInterpreterCommand("  %c  ");
    store.SetAppletViewerCommand(std::string(3000, 'v'));
    store.EditorFont().SetName("Consolas");
    store.EditorFont().SetSize(20);
    store.EditorFont().style = TEditorFont::Bold;
    store.SetAutoIndent(false);
    store.SetSmartTabs(false);
    store.LoadOptions();
    EXPECT_EQ(Snapshot(store), (Globals{"E:\\x\\", "-g %j", "  %c  ", std::string(3000, 'v'),
                                        "Consolas", 14, false, false}));
    EXPECT_EQ(store.EditorFont().style, unsigned(TEditorFont::Bold));
}

TEST(LoadOptions, FontChangesAreNotified) {
    const struct {
        const char* name;
        const char* face;
        const char* size;
        int changes;
    } cases[] = {
        {"face and size", "Consolas", "12", 2},
        {"size only", "Courier New", "12", 1},
        {"unchanged", "Courier New", "10", 0},
        {"unreadable", "", "abc", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryProfile profile;
        TestStore store(profile);
        profile.Set(kIni, "Editor", "FontName", c.face);
        profile.Set(kIni, "Editor", "FontSize", c.size);
        store.fontChanges = 0;
        store.LoadOptions();
        EXPECT_EQ(store.fontChanges, c.changes);
    }
}

TEST(SaveOptions, WritesTheTenKeysInOrderAndReadsBack) {
    MemoryProfile profile;
    TestStore store(profile);
    store.SetJavaSdkDir("D:\\sdk\\bin\\");
    store.SetCompillerCommand(" -g %j ");
    store.EditorFont().SetName("Lucida Console");
    store.EditorFont().SetSize(14);
    store.SetAutoIndent(false);
    store.SetNewFilesUtf8(true);
    store.SetColouring(false);
    store.SaveOptions();
    EXPECT_EQ(profile.writes, (std::vector<std::string>{
                                  "JavaSDK/Directory=D:\\sdk\\bin\\",
                                  "JavaSDK/CompillerCommand= -g %j ",
                                  "JavaSDK/InterpreterCommand=%c",
                                  "JavaSDK/AppletViewerCommand=%h",
                                  "Editor/FontName=Lucida Console",
                                  "Editor/FontSize=14",
                                  "Editor/Autoindent=0",
                                  "Editor/SmartTabs=1",
                                  "Editor/NewFilesUTF8=1",
                                  "Editor/Colour=0",
                              }));
    TestStore again(profile);
    EXPECT_EQ(Snapshot(again), Snapshot(store));
    EXPECT_TRUE(again.NewFilesUtf8());
}

TEST(SaveOptions, StopsAtTheKeyThatCannotBeWritten) {
    for (int failing = 0; failing < 9; ++failing) {
        SCOPED_TRACE(failing);
        MemoryProfile profile;
        TestStore store(profile);
        profile.failWriteAt = failing;
        try {
            store.SaveOptions();
            ADD_FAILURE() << "no failure reported";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Unable to write to C:\\prog\\qp.ini");
        }
        ASSERT_EQ(profile.writes.size(), static_cast<std::size_t>(failing));
        for (int i = 0; i < failing; ++i)
            EXPECT_EQ(profile.writes[i].substr(0, kGlobalKeys[i].size()), kGlobalKeys[i]);
    }
}

TEST(SaveOptions, RefusesAValueThatCannotComeBackBeforeWritingAny) {
    MemoryProfile profile;
    TestStore store(profile);
    store.SetAppletViewerCommand("%h\r\n[Editor]");
    try {
        store.SaveOptions();
        ADD_FAILURE() << "no failure reported";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\prog\\qp.ini\r"
                               "The value of JavaSDK/AppletViewerCommand holds a line break");
    }
    EXPECT_TRUE(profile.writes.empty());
}

// A service that accepts a write but alters the value is caught by reading back.
TEST(SaveOptions, AValueThatReadsBackDifferentlyIsAFailure) {
    class Trimming : public MemoryProfile {
        std::string ReadString(const std::string& f, const std::string& s, const std::string& k,
                               const std::string& def) override {
            std::string v = MemoryProfile::ReadString(f, s, k, def);
            return v == "-g " ? "-g" : v;
        }
    } profile;
    TestStore store(profile);
    store.SetCompillerCommand("-g ");
    try {
        store.SaveOptions();
        ADD_FAILURE() << "no failure reported";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Unable to write to C:\\prog\\qp.ini\r"
                               "The value of JavaSDK/CompillerCommand does not read back as written");
    }
    EXPECT_EQ(profile.writes.size(), 2u);
}

// The dialog shows a setting by its kind: each change is told as that one, and
// reading it by its kind gives what the accessor gives.
TEST(Changes, EachSetterTellsItsSetting) {
    MemoryProfile profile;
    TestStore store(profile);
    using TextSetter = void (TOptionsStore::*)(const std::string&);
    using TextGetter = std::string (TOptionsStore::*)() const;
    const struct {
        TextSetter set;
        TextGetter get;
        TextSetting told;
        const char* held;
    } texts[] = {
        {&TOptionsStore::SetJavaSdkDir, &TOptionsStore::JavaSdkDir, TextSetting::JavaSdkDir, "C:\\x\\y.z"},
        {&TOptionsStore::SetCompillerCommand, &TOptionsStore::CompillerCommand, TextSetting::CompillerCommand,
         "C:\\x\\y.z"},
        {&TOptionsStore::SetInterpreterCommand, &TOptionsStore::InterpreterCommand,
         TextSetting::InterpreterCommand, "C:\\x\\y.z"},
        {&TOptionsStore::SetAppletViewerCommand, &TOptionsStore::AppletViewerCommand,
         TextSetting::AppletViewerCommand, "C:\\x\\y.z"},
        {&TOptionsStore::SetAppCommandLine, &TOptionsStore::AppCommandLine, TextSetting::AppCommandLine,
         "C:\\x\\y.z"},
        {&TOptionsStore::SetAppletHtmlFile, &TOptionsStore::AppletHtmlFile, TextSetting::AppletHtmlFile, "y.z"},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(static_cast<int>(t.told));
        store.textsTold.clear();
        (store.*t.set)("C:\\x\\y.z");
        EXPECT_EQ(store.textsTold, std::vector<int>{static_cast<int>(t.told)});
        EXPECT_EQ((store.*t.get)(), t.held);
        EXPECT_EQ(store.Text(t.told), t.held);
    }
    using SwitchSetter = void (TOptionsStore::*)(bool);
    using SwitchGetter = bool (TOptionsStore::*)() const;
    const struct {
        SwitchSetter set;
        SwitchGetter get;
        SwitchSetting told;
    } switches[] = {
        {&TOptionsStore::SetAutoIndent, &TOptionsStore::AutoIndent, SwitchSetting::AutoIndent},
        {&TOptionsStore::SetSmartTabs, &TOptionsStore::SmartTabs, SwitchSetting::SmartTabs},
        {&TOptionsStore::SetNewFilesUtf8, &TOptionsStore::NewFilesUtf8, SwitchSetting::NewFilesUtf8},
        {&TOptionsStore::SetColouring, &TOptionsStore::Colouring, SwitchSetting::Colouring},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(static_cast<int>(s.told));
        store.switchesTold.clear();
        const bool flipped = !(store.*s.get)();
        (store.*s.set)(flipped);
        EXPECT_EQ(store.switchesTold, std::vector<int>{static_cast<int>(s.told)});
        EXPECT_EQ((store.*s.get)(), flipped);
        EXPECT_EQ(store.Switch(s.told), flipped);
    }
    // What the dialog hands back is kept as it stands: the template, and an
    // applet page typed with its directory.
    store.SetText(TextSetting::HtmlTemplate, "<P>%c");
    EXPECT_EQ(store.HtmlTemplate(), "<P>%c");
    store.SetText(TextSetting::AppletHtmlFile, "C:\\pages\\Typed.html");
    EXPECT_EQ(store.AppletHtmlFile(), "C:\\pages\\Typed.html");
}

TEST(ProjectOptions, FollowTheSourceFile) {
    MemoryProfile profile;
    TestStore store(profile);
    profile.Set("C:\\work\\Hello.ini", "Parameters", "CommandLine", "a b c");
    profile.Set("C:\\work\\Hello.ini", "Parameters", "HTML", "C:\\pages\\Applet.html");
    profile.Set("C:\\work\\Other.ini", "Parameters", "CommandLine", "other");

    store.SetSourceFile("C:\\work\\Hello.java");
    EXPECT_EQ(store.SourceFile(), "C:\\work\\Hello.java");
    EXPECT_EQ(store.ProjectOptionsFile(), "C:\\work\\Hello.ini");
    EXPECT_EQ(store.AppCommandLine(), "a b c");
    EXPECT_EQ(store.AppletHtmlFile(), "Applet.html");

    store.SetSourceFile("C:\\work\\Other.java");  // a missing key clears the option
    EXPECT_EQ(store.AppCommandLine(), "other");
    EXPECT_EQ(store.AppletHtmlFile(), "");

    store.SetAppCommandLine("unsaved");
    store.SetSourceFile("C:\\work\\None.java");  // no file at all
    EXPECT_EQ(store.AppCommandLine(), "");
    EXPECT_EQ(store.AppletHtmlFile(), "");
    EXPECT_EQ(store.shownFiles, (std::vector<std::string>{
                                    "C:\\work\\Hello.ini", "C:\\work\\Other.ini",
                                    "C:\\work\\None.ini"}));
}

TEST(ProjectOptions, AppletFileKeepsOnlyTheName) {
    const struct {
        const char* value;
        const char* kept;
    } cases[] = {
        {"C:\\pages\\Applet.html", "Applet.html"},
        {"D:Applet.html", "Applet.html"},
        {"Applet.html", "Applet.html"},
        {"C:\\pages\\", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        MemoryProfile profile;
        TestStore store(profile);
        store.SetAppletHtmlFile(c.value);
        EXPECT_EQ(store.AppletHtmlFile(), c.kept);
    }
}

TEST(ProjectOptions, SaveWritesBothKeysAndReportsFailure) {
    MemoryProfile profile;
    TestStore store(profile);
    store.SetSourceFile("C:\\work\\Hello.java");
    store.SetAppCommandLine("-v 1");
    store.SetAppletHtmlFile("Hello.html");
    store.SaveProjectOptions();
    EXPECT_EQ(profile.writes, (std::vector<std::string>{"Parameters/CommandLine=-v 1",
                                                        "Parameters/HTML=Hello.html"}));
    store.SetSourceFile("C:\\work\\Hello.java");
    EXPECT_EQ(store.AppCommandLine(), "-v 1");
    EXPECT_EQ(store.AppletHtmlFile(), "Hello.html");

    for (int failing = 0; failing < 2; ++failing) {
        SCOPED_TRACE(failing);
        MemoryProfile broken;
        TestStore other(broken);
        broken.failWriteAt = failing;
        try {
            other.SaveProjectOptions();  // before any source: the file ".ini"
            ADD_FAILURE() << "no failure reported";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Unable to write to .ini");
        }
        EXPECT_EQ(broken.writes.size(), static_cast<std::size_t>(failing));
    }
}

}  // namespace

TEST(RecentFiles, NewestFirstWithoutRepeatsAndKeptInTheSettingsFile) {
    using List = std::vector<std::string>;
    const struct {
        List before;
        const char* name;
        List after;
    } rows[] = {
        {{}, "C:\\a.java", {"C:\\a.java"}},
        {{"C:\\a.java", "C:\\b.java"}, "c:\\B.JAVA", {"c:\\B.JAVA", "C:\\a.java"}},
        {{"1", "2", "3", "4", "5", "6", "7", "8"}, "9", {"9", "1", "2", "3", "4", "5", "6", "7"}},
    };
    for (const auto& row : rows) EXPECT_EQ(WithRecentFile(row.before, row.name, 8), row.after) << row.name;

    MemoryProfile profile;
    TestStore store(profile);
    store.SaveRecentFiles({"C:\\x.java", "D:\\y z.java"});
    EXPECT_EQ(store.LoadRecentFiles(), (List{"C:\\x.java", "D:\\y z.java"}));
    store.SaveRecentFiles({"C:\\x.java"});
    EXPECT_EQ(store.LoadRecentFiles(), List{"C:\\x.java"}) << "a shorter list leaves no old entries behind";
}
