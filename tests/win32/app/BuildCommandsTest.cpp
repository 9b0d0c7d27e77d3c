// Compile, Run, the applet commands and the error list's double-click, on the
// real main window with the stand-in SDK replaying real compiler captures.
#include <process.h>

#include <chrono>

#include "BuildFixture.h"
#include "FilesWin32.h"
#include "QPadBuildU.h"

namespace {

using Lines = std::vector<std::string>;

std::string JavacLine(const std::string& source) {
    return "\"" + standin::SdkDir() + "javac.exe\" \"" + source + "\"";
}

const char kHelloApp[] = "public class Hello {\r\n    public static void main(String[] a) {}\r\n}\r\n";
const char kHelloApplet[] = "import java.applet.*;\r\npublic class Hello extends Applet {}\r\n";

TEST_F(BuildTest, CompileShowsCommandLineOutputAndErrors) {
    const struct {
        const char* capture;
        Lines errors;
        const char* status;
    } cases[] = {
        {"missing_semicolon", {"0003 0036  error: ';' expected"}, "Compiller exit code:  1"},
        {"several_errors",
         {"0003 0017  error: incompatible types: String cannot be converted to int",
          "0004 0020  error: cannot find symbol", "0005 0019  error: cannot find symbol",
          "0009 0009  error: incompatible types: missing return value"},
         "Compiller exit code:  1"},
        {"tab_symbol", {"0003 0011  error: cannot find symbol", "0005 0015  error: cannot find symbol"},
         "Compiller exit code:  1"},
        {"warnings_then_errors",
         {"0003 0025  warning: [removal] Integer(int) in Integer has been deprecated and marked for removal",
          "0005 0017  error: cannot find symbol",
          "0006 0020  error: incompatible types: int cannot be converted to String"},
         "Compiller exit code:  1"},
        {"other_file", {"0004 0017  error: cannot find symbol"}, "Compiller exit code:  1"},
        {"warning_only", {"No errors", "0003 0025  warning: [removal] Integer(int) in Integer has been deprecated and marked for removal"}, "Compiller exit code:  0"},
    };
    OpenSource("Hello.java", kHelloApp);
    const std::string source = dir + "Hello.java";
    for (const auto& c : cases) {
        DeleteFileA(log.c_str());
        CompileWith(c.capture);
        Lines output = CaptureLines(c.capture, source);
        output.insert(output.begin(), ">" + JavacLine(source));
        EXPECT_EQ(Items(QPadF->CompillerLB()), output) << c.capture;
        EXPECT_EQ(Items(QPadF->ErrorLB()), c.errors) << c.capture;
        EXPECT_EQ(QPadF->PanelText(2), c.status) << c.capture;
        EXPECT_EQ(standin::ReadLog(log), Lines{JavacLine(source)}) << c.capture;
        EXPECT_EQ(Enabled("CodeRun"), c.errors[0] == "No errors") << c.capture;
    }
    EXPECT_TRUE(prompts.messages.empty());
    // The long compiler line can be scrolled into view.
    RECT client;
    GetClientRect(QPadF->CompillerLB(), &client);
    EXPECT_GT(SendMessageA(QPadF->CompillerLB(), LB_GETHORIZONTALEXTENT, 0, 0), client.right);
}

TEST_F(BuildTest, EnabledStatesAfterCompile) {
    const struct {
        const char* text;
        const char* capture;
        bool run, runApplet;
    } cases[] = {
        {kHelloApp, "", true, false},
        {kHelloApp, "missing_semicolon", false, false},
        {kHelloApplet, "", false, true},
        {kHelloApplet, "missing_semicolon", false, false},
    };
    for (const auto& c : cases) {
        OpenSource("Hello.java", c.text);
        CompileWith(c.capture);
        for (const char* action : {"CodeRun", "CodeRunApplet"}) {
            const bool want = std::string(action) == "CodeRun" ? c.run : c.runApplet;
            EXPECT_EQ(Enabled(action), want) << action << " after " << c.capture;
            EXPECT_EQ(MenuEnabled(action), want) << action;
            EXPECT_EQ(ButtonEnabled(action), want) << action;
        }
    }
}

TEST_F(BuildTest, CompileFromMenuAndToolBarToo) {
    OpenSource("Hello.java", kHelloApp);
    standin::ScopedEnv replay("QP_JAVAC_CAPTURE", standin::Capture("missing_semicolon"));
    standin::ScopedEnv from("QP_JAVAC_CAPTURE_SOURCE", "C:\\work\\Hello.java");
    Command("CodeCompile");
    ToolButton("CodeCompile");
    EXPECT_EQ(standin::ReadLog(log).size(), 2u);
    EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"0003 0036  error: ';' expected"});
}

TEST_F(BuildTest, CompileSavesAModifiedTextFirst) {
    OpenSource("Hello.java", kHelloApp);
    Type("// x\n");
    CompileWith("");
    EXPECT_EQ(ReadFileBytes(dir + "Hello.java"), "// x\r\n" + std::string(kHelloApp));
    EXPECT_FALSE(Editor().Modified());
    EXPECT_TRUE(Enabled("CodeRun"));

    // Cancel in the Save As of an untitled text ends the compile.
    Command("FileNew1");
    Type("class A {}");
    prompts.fileAnswers.push_back("");
    DeleteFileA(log.c_str());
    CompileWith("");
    EXPECT_EQ(prompts.fileDialogs.size(), 2u);
    EXPECT_TRUE(Items(QPadF->CompillerLB()).empty());
    EXPECT_TRUE(standin::ReadLog(log).empty());
    EXPECT_TRUE(Editor().Modified());
}

// The hourglass shows while the compiler runs and goes on every way out.
TEST_F(BuildTest, WaitCursorDuringCompileOnly) {
    OpenSource("Hello.java", kHelloApp);
    HCURSOR during = nullptr;
    QPadF->SetLauncher([&](const std::string& cmd, const std::string& out, bool hidden, std::uint32_t& code) {
        during = ScreenCursor();
        SendMessageA(QPadF->ErrorLB(), WM_SETCURSOR, reinterpret_cast<WPARAM>(QPadF->ErrorLB()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "over a child of the window";
        // The editor picks its own cursor, as the system asks it before it queues the move.
        HWND editor = Editor().Handle();
        SendMessageA(editor, WM_SETCURSOR, reinterpret_cast<WPARAM>(editor), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        PostMessageA(editor, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        ProcessMessages();
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "over the editor";
        WindowsLauncher()(cmd, out, hidden, code);
    });
    CompileWith("missing_semicolon");
    EXPECT_EQ(during, LoadCursor(nullptr, IDC_WAIT));
    EXPECT_EQ(ScreenCursor(), nullptr);

    // A launcher failure and a template failure restore it too, and leave the lists.
    prompts.messageAnswers = {IDOK, IDOK};
    QPadF->SetLauncher([&](const std::string&, const std::string&, bool, std::uint32_t&) {
        throw Exception("[function: CreateDOSProcessRedirected ]\n\nFunction failure");
    });
    CompileWith("");
    EXPECT_EQ(LastMessage(), "[function: CreateDOSProcessRedirected ]\n\nFunction failure.");
    EXPECT_EQ(ScreenCursor(), nullptr);
    QPadF->SetLauncher(nullptr);
    options->SetCompillerCommand("-g");
    CompileWith("");
    EXPECT_EQ(LastMessage(), "Can't find \"%j\" in compiler command.");
    EXPECT_EQ(LastCaption(), "Quillpad");
    EXPECT_EQ(ScreenCursor(), nullptr);
    EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"0003 0036  error: ';' expected"});
    EXPECT_EQ(Items(QPadF->CompillerLB()).size(), 5u);
    EXPECT_EQ(standin::ReadLog(log).size(), 1u);
}

TEST_F(BuildTest, DoubleClickPutsTheCaretAfterTheMarkedCharacter) {
    const struct {
        const char* capture;
        int entry;
        const char* panel;
        char before;  // the character the marker stands under
    } cases[] = {
        {"several_errors", 0, " 3 : 18", '"'},
        {"several_errors", 2, " 5 : 20", '.'},
        {"several_errors", 3, " 9 : 10", 'r'},
        {"tab_symbol", 0, " 3 : 12", 'm'},  // two tabs, each one column
        {"tab_symbol", 1, " 5 : 16", 'u'},
    };
    for (const auto& c : cases) {
        OpenSource("Hello.java", ReadFileBytes(CaptureSource(c.capture)));
        CompileWith(c.capture);
        SetFocus(QPadF->ErrorLB());
        DoubleClickError(c.entry);
        EXPECT_EQ(QPadF->PanelText(1), c.panel) << c.capture << " " << c.entry;
        EXPECT_EQ(GetFocus(), EditorWnd());
        EXPECT_EQ(SendMessageA(QPadF->ErrorLB(), LB_GETCURSEL, 0, 0), c.entry);
        const int caret = Editor().SelStart();
        ASSERT_GT(caret, 0);
        EXPECT_EQ(Editor().WideText()[static_cast<std::size_t>(caret - 1)], c.before) << c.capture << " " << c.entry;
    }
}

// Entries that name no line of the text leave the caret alone, and a double-click
// with nothing selected does nothing at all.
TEST_F(BuildTest, DoubleClickOnNoPlaceLeavesTheCaret) {
    OpenSource("Hello.java", ReadFileBytes(CaptureSource("several_errors")));
    CompileWith("several_errors");
    Editor().SetSelStart(5);
    // The text shrank after the compile: line 9 no longer exists.
    Editor().SetText("class Hello {\r\n}\r\n");
    Editor().SetSelStart(3);
    DoubleClickError(3);
    EXPECT_EQ(Editor().SelStart(), 3);
    EXPECT_EQ(GetFocus(), EditorWnd());

    CompileWith("warning_only");
    ASSERT_EQ(Items(QPadF->ErrorLB()).at(0), "No errors");
    Editor().SetSelStart(4);
    SetFocus(QPadF->ErrorLB());
    DoubleClickError(0);
    EXPECT_EQ(Editor().SelStart(), 4);
    EXPECT_EQ(GetFocus(), EditorWnd());

    SendMessageA(QPadF->ErrorLB(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetFocus(QPadF->ErrorLB());
    SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(QPadF->ErrorLB()), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(QPadF->ErrorLB()));
    ProcessMessages();
    EXPECT_EQ(Editor().SelStart(), 4);
    EXPECT_TRUE(prompts.messages.empty());
}

struct ReleaseLater {
    std::string file;
    DWORD delayMs;
    static unsigned __stdcall Run(void* self) {
        auto* r = static_cast<ReleaseLater*>(self);
        Sleep(r->delayMs);
        HANDLE h = CreateFileA(r->file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(h);
        return 0;
    }
};

TEST_F(BuildTest, RunStartsTheInterpreterInCommandComAndWaits) {
    standin::StandInShell standInShell;
    OpenSource("Hello.java", kHelloApp);
    options->SetAppCommandLine("a & b %PATH% caf\xE9");
    CompileWith("");
    ASSERT_TRUE(Enabled("CodeRun"));
    DeleteFileA(log.c_str());

    ReleaseLater release{dir + "release", 400};
    standin::ScopedEnv env("QP_CONSOLE_RELEASE", release.file);
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ReleaseLater::Run, &release, 0, nullptr));
    const auto start = std::chrono::steady_clock::now();
    Shortcut(VK_F9, false);
    const auto waited = std::chrono::steady_clock::now() - start;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    // The project's command line reaches the program whole, as its arguments.
    const std::string java = "\"" + standin::SdkDir() + "java.exe\" \"Hello\" a & b %PATH% caf\xE9";
    const std::string run = standin::StandInShell::Path() + " /K \"" + RunBatchFileName + "\"";
    EXPECT_EQ(Items(QPadF->CompillerLB()), Lines{">" + run});
    EXPECT_EQ(standin::ReadLog(log), (Lines{run, java}));
    EXPECT_GE(waited, std::chrono::milliseconds(350)) << "Run returned before the console ended";
    EXPECT_EQ(QPadF->PanelText(2), "Interpreter exit code:  0");
    EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"No errors"});
}

// While the console is open the windows still paint, but a command sent then
// waits until the console has ended.
struct PaintWhileRunning {
    HWND list = nullptr, main = nullptr;
    UINT newId = 0;
    std::string release;
    bool painted = false;
    std::string captionDuring;
    static unsigned __stdcall Run(void* self) {
        auto* p = static_cast<PaintWhileRunning*>(self);
        Sleep(200);
        InvalidateRect(p->list, nullptr, TRUE);
        for (int i = 0; i < 150 && !p->painted; ++i, Sleep(20)) p->painted = !GetUpdateRect(p->list, nullptr, FALSE);
        PostMessageA(p->main, WM_COMMAND, p->newId, 0);
        Sleep(300);
        char text[256] = "";  // a message another program could send; a blocked wait would never answer
        DWORD_PTR got = 0;
        SendMessageTimeoutA(p->main, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, &got);
        p->captionDuring = text;
        CloseHandle(CreateFileA(p->release.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        return 0;
    }
};

TEST_F(BuildTest, RunPaintsButTakesNoCommandUntilTheConsoleEnds) {
    standin::StandInShell standInShell;
    OpenSource("Hello.java", kHelloApp);
    CompileWith("");
    ASSERT_TRUE(Enabled("CodeRun"));
    PaintWhileRunning probe;
    probe.list = QPadF->ErrorLB();
    probe.main = QPadF->Handle();
    probe.newId = QPadF->FindAction("FileNew1")->id;
    probe.release = dir + "release";
    standin::ScopedEnv env("QP_CONSOLE_RELEASE", probe.release);
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, PaintWhileRunning::Run, &probe, 0, nullptr));
    Shortcut(VK_F9, false);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_TRUE(probe.painted);
    EXPECT_EQ(probe.captionDuring, "Quillpad: Hello.java");
    ProcessMessages();
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Untitled.java") << "the command was lost";
}

// The command interpreter is the system's own: COMSPEC's, else cmd.exe in the
// system folder, never a command.com in the source's folder or on the PATH.
// Run Applet shows which (its /C ends without a user).
TEST_F(BuildTest, TheCommandInterpreterIsTheSystemsOwn) {
    OpenSource("Hello.java", kHelloApplet);
    CompileWith("");
    WriteFileBytes(dir + "Hello.html", "page");
    CopyFileA(standin::StandInShell::Path().c_str(), (dir + "command.com").c_str(), FALSE);
    const standin::ScopedEnv path("PATH", standin::SdkDir() + ";" + dir);
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    const std::string viewer = "\"" + standin::SdkDir() + "appletviewer.exe\" \"Hello.html\"";
    const struct { const char* comspec; std::string line; Lines log; } cases[] = {
        {nullptr, ">" + cmd + " /C \"" + viewer + "\"", {viewer}},
        {"command.com", ">" + cmd + " /C \"" + viewer + "\"", {viewer}},
        {"", ">" + cmd + " /C \"" + viewer + "\"", {viewer}},
        {"STAND-IN", ">" + standin::StandInShell::Path() + " /C " + viewer,
         {standin::StandInShell::Path() + " /C " + viewer, viewer}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.comspec ? c.comspec : "unset");
        const std::string value = !c.comspec ? "" : std::string(c.comspec) == "STAND-IN" ? standin::StandInShell::Path() : c.comspec;
        standin::ScopedEnv comspec("COMSPEC", value);
        if (!c.comspec) SetEnvironmentVariableA("COMSPEC", nullptr);
        DeleteFileA(log.c_str());
        Command("CodeRunApplet");
        EXPECT_EQ(Items(QPadF->CompillerLB()), Lines{c.line});
        EXPECT_EQ(standin::ReadLog(log), c.log);
        EXPECT_EQ(QPadF->PanelText(2), "Applet Viewer exit code:  0");
    }
    // One that is not there: the launcher's failure.
    standin::ScopedEnv comspec("COMSPEC", dir + "none\\cmd.exe");
    prompts.messageAnswers.push_back(IDOK);
    Command("CodeRunApplet");
    EXPECT_EQ(LastMessage(), "[function: CreateDOSProcessRedirected ]\n\nFunction failure.");
    EXPECT_EQ(LastCaption(), "Quillpad");
    EXPECT_EQ(QPadF->PanelText(2), "Applet Viewer exit code:  4294967295");
}

// The system's own cmd.exe as COMSPEC: it strips one pair of quotes from the
// text after /C, so the line carries one more.
TEST_F(BuildTest, RunAppletThroughTheSystemCmdExe) {
    OpenSource("Hello.java", kHelloApplet);
    CompileWith("");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    ASSERT_TRUE(Exists(cmd));
    standin::ScopedEnv comspec("COMSPEC", cmd);
    standin::ScopedEnv exitCode("QP_APPLETVIEWER_EXIT", "3");
    DeleteFileA(log.c_str());
    Command("CodeRunApplet");
    const std::string viewer = "\"" + standin::SdkDir() + "appletviewer.exe\" \"Hello.html\"";
    EXPECT_EQ(Items(QPadF->CompillerLB()), Lines{">" + cmd + " /C \"" + viewer + "\""});
    EXPECT_EQ(standin::ReadLog(log), Lines{viewer});
    EXPECT_EQ(QPadF->PanelText(2), "Applet Viewer exit code:  3");
}

TEST_F(BuildTest, CreateHtmlWritesThePageBesideTheSource) {
    OpenSource("Hello.java", kHelloApplet);
    ASSERT_TRUE(Enabled("CodeCreateHTML"));
    // Wherever the dialogs left the current directory, the page goes beside the source.
    const std::string elsewhere = dir + "elsewhere\\";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    SetCurrentDirectoryA(elsewhere.c_str());
    WriteFileBytes(dir + "Hello.html", "edited by hand");
    Shortcut(VK_F10, true);
    std::string page = DefaultHtmlTemplate();
    page.replace(page.find("%c"), 2, "Hello.class");
    EXPECT_EQ(ReadFileBytes(dir + "Hello.html"), page);
    EXPECT_FALSE(Exists(elsewhere + "Hello.html"));
    EXPECT_EQ(CurrentFolder(), elsewhere);
    EXPECT_TRUE(prompts.messages.empty());
    SetCurrentDirectoryA(TempFolder().c_str());
}

// An applet in a package: its page goes to the package root and names the class
// by its path from there; a misplaced one keeps its own folder and is told so.
TEST_F(BuildTest, AppletInAPackageFromItsRoot) {
    standin::StandInShell standInShell;
    const std::string applet = "package app.util;\r\n" + std::string(kHelloApplet);
    for (const char* folder : {"app", "app\\util", "other"}) CreateDirectoryA((dir + folder).c_str(), nullptr);
    const struct { const char* source; const char* page; const char* code; bool note; } cases[] = {
        {"app\\util\\Hello.java", "Hello.html", "CODE=\"app/util/Hello.class\"", false},
        {"other\\Hello.java", "other\\Hello.html", "CODE=\"Hello.class\"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        OpenSource(c.source, applet);
        CompileWith("");
        ASSERT_TRUE(Enabled("CodeRunApplet"));
        Shortcut(VK_F10, false);
        EXPECT_NE(ReadFileBytes(dir + c.page).find(c.code), std::string::npos);
        const Lines output = Items(QPadF->CompillerLB());
        ASSERT_FALSE(output.empty());
        const std::string note = "Hello.java is in package app.util but not in a folder app\\util";
        EXPECT_EQ(output.size() == 2 && output[1].rfind(note, 0) == 0, c.note);
    }
    EXPECT_FALSE(Exists(dir + "app\\util\\Hello.html"));
}

TEST_F(BuildTest, RunAppletFallsBackToTheDefaultPage) {
    standin::StandInShell standInShell;
    OpenSource("Hello.java", kHelloApplet);
    CompileWith("");
    ASSERT_TRUE(Enabled("CodeRunApplet"));
    DeleteFileA(log.c_str());
    Shortcut(VK_F10, false);
    const std::string viewer = "\"" + standin::SdkDir() + "appletviewer.exe\" \"Hello.html\"";
    const std::string shell = standin::StandInShell::Path() + " /C ";
    EXPECT_EQ(Items(QPadF->CompillerLB()), Lines{">" + shell + viewer});
    EXPECT_EQ(standin::ReadLog(log), (Lines{shell + viewer, viewer}));
    EXPECT_NE(ReadFileBytes(dir + "Hello.html").find("CODE=\"Hello.class\""), std::string::npos);
    EXPECT_EQ(QPadF->PanelText(2), "Applet Viewer exit code:  0");

    // An existing page is shown as it is.
    WriteFileBytes(dir + "Hello.html", "mine");
    ToolButton("CodeRunApplet");
    EXPECT_EQ(ReadFileBytes(dir + "Hello.html"), "mine");
    EXPECT_EQ(standin::ReadLog(log).size(), 4u);
}

TEST_F(BuildTest, FailureTextsInTheirBoxes) {
    standin::StandInShell standInShell;
    OpenSource("Hello.java", kHelloApplet);
    CompileWith("");
    const std::string sdkMessage = "Can not find Java SDK ...\\BIN directory or\rincorrect path: C:\\nosdk\\\r\r"
                                   "Set correct path to Java SDK from\rMenu/Edit/Options/Java SDK";
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* action;
        std::string text, caption;
        Lines output;  // the output list afterwards (Create HTML leaves it)
        const char* page;  // Hello.html afterwards: null for none, "" for the default one written
    };
    const Case cases[] = {
        {"viewer template", [&] { options->SetAppletViewerCommand("-J"); }, "CodeRunApplet",
         "Can't find \"%h\" in Applet viewer command.", "Quillpad", {}, ""},
        {"missing page", [&] { options->SetAppletHtmlFile("My.html"); }, "CodeRunApplet",
         "Applet HTML file is not defined\rCan't find My.html.", "Quillpad", {"looking for applet HTML file"},
         nullptr},
        {"missing page, default one edited",
         [&] {
             options->SetAppletHtmlFile("My.html");
             WriteFileBytes(dir + "Hello.html", "mine");
         },
         "CodeRunApplet", "Applet HTML file is not defined\rCan't find My.html.", "Quillpad",
         {"looking for applet HTML file"}, "mine"},
        {"html template", [&] { options->htmlTemplate = "<APPLET CODE=\"%C\">"; }, "CodeCreateHTML",
         "Can't find \"%c\" in HTML template.", "Quillpad", {}, nullptr},
        {"fallback fails", [&] { options->htmlTemplate = "no class"; }, "CodeRunApplet",
         "Can't find \"%c\" in HTML template.", "Quillpad",
         {"looking for applet HTML file", "Creating default applet HTML file"}, nullptr},
        {"no sdk", [&] { options->BreakSdk("C:\\nosdk\\"); }, "CodeRunApplet", sdkMessage, "Error",
         {">" + JavacLine(dir + "Hello.java")}, nullptr},
        {"no sdk", [&] { options->BreakSdk("C:\\nosdk\\"); }, "CodeCompile", sdkMessage, "Error", {}, nullptr},
        {"not an applet", [&] { Editor().SetText("class Hello {}"); }, "CodeCreateHTML", "It is not Java applet",
         "Error", {}, nullptr},
    };
    for (const Case& c : cases) {
        options->UseSdk(standin::SdkDir());
        options->SetAppletViewerCommand("%h");
        options->SetAppletHtmlFile("");
        options->htmlTemplate = DefaultHtmlTemplate();
        Editor().SetText(kHelloApplet);
        CompileWith("");
        DeleteFileA((dir + "Hello.html").c_str());
        prompts.messages.clear();
        prompts.messageAnswers.push_back(IDOK);
        c.setUp();
        Command(c.action);
        ASSERT_EQ(prompts.messages.size(), 1u) << c.what;
        EXPECT_EQ(LastMessage(), c.text) << c.what;
        EXPECT_EQ(LastCaption(), c.caption) << c.what;
        EXPECT_EQ(prompts.messages.back().type, static_cast<UINT>(MB_OK | MB_ICONERROR)) << c.what;
        if (std::string(c.action) == "CodeRunApplet") {
            EXPECT_EQ(Items(QPadF->CompillerLB()), c.output) << c.what;
        }
        ASSERT_EQ(Exists(dir + "Hello.html"), c.page != nullptr) << c.what;
        if (c.page && *c.page) {
            EXPECT_EQ(ReadFileBytes(dir + "Hello.html"), c.page) << c.what;
        } else if (c.page) {
            EXPECT_NE(ReadFileBytes(dir + "Hello.html").find("CODE=\"Hello.class\""), std::string::npos) << c.what;
        }
    }
}

TEST_F(BuildTest, RunWithoutSdkOrClassPlaceholder) {
    OpenSource("Hello.java", kHelloApp);
    CompileWith("");
    prompts.messageAnswers = {IDOK, IDOK};
    options->SetInterpreterCommand("-cp .");
    Command("CodeRun");
    EXPECT_EQ(LastMessage(), "Can't find \"%c\" in interpreter command.");
    EXPECT_TRUE(Items(QPadF->CompillerLB()).empty());
    options->BreakSdk("C:\\nosdk\\");
    Command("CodeRun");
    EXPECT_EQ(LastCaption(), "Error");
    EXPECT_NE(LastMessage().find("incorrect path: C:\\nosdk\\\r"), std::string::npos);
}

}  // namespace
