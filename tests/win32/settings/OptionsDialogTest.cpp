// The options dialog as a user meets it: shown modally over an owner window,
// driven with the messages the platform sends (clicks, keys, typed characters),
// and read back from its controls and from the files on disk.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#include <shlobj.h>

#include <deque>
#include <functional>

#include "DialogSteps.h"
#include "OptionsFixture.h"
#include "QpErrors.h"
#include "QpMessages.h"
#include "QpText.h"

namespace {

using namespace settings_test;

class OptionsDialogTest : public OptionsTest {
protected:
    HWND owner = nullptr;
    std::vector<std::string> failures;  // what the failure handler was given

    void SetUp() override {
        OptionsTest::SetUp();
        owner = CreateWindowA("Static", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700, 500,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        EXPECT_TRUE(prompts.messageAnswers.empty());
        EXPECT_TRUE(prompts.folderAnswers.empty());
        EXPECT_TRUE(prompts.fontAnswers.empty());
        EXPECT_TRUE(prompts.fileAnswers.empty());
        OptionsTest::TearDown();
    }

    // Shows the dialog as the Options command does and runs the steps in it; a
    // dialog still open after them is left with Cancel (and that is a failure).
    int Show(TOptionsF& options, Steps& steps) {
        steps << [&] {
            if (!options.Showing()) return;
            ADD_FAILURE() << "the dialog is still open";
            Click(options.CancelBB);
            if (options.Showing()) SendMessageA(options.Handle(), WM_CLOSE, 0, 0);
        };
        steps.Start();
        int result = options.ShowModal(owner, [this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& ex) {
                failures.push_back(ex.what());
            }
        });
        steps.Clear();
        return result;
    }
    int ApplyMessages() {
        int n = 0;
        MSG msg;
        while (PeekMessageA(&msg, owner, WM_APPLYSETTINGS, WM_APPLYSETTINGS, PM_REMOVE)) {
            EXPECT_EQ(msg.wParam, 0u);
            EXPECT_EQ(msg.lParam, 0);
            ++n;
        }
        return n;
    }

    static void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
    // A mouse click on a page's tab.
    static void ClickTab(TOptionsF& o, int page) {
        RECT r;
        SendMessageA(o.OptionsPC, TCM_GETITEMRECT, page, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(o.OptionsPC, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(o.OptionsPC, WM_LBUTTONUP, 0, at);
    }
    static std::string Text(HWND hwnd) {
        std::string s(GetWindowTextLengthA(hwnd) + 1, '\0');
        s.resize(GetWindowTextA(hwnd, s.data(), static_cast<int>(s.size())));
        return s;
    }
    // Characters as the keyboard delivers them to the focused field.
    static void Type(HWND field, const std::string& text) {
        SetFocus(field);
        for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // A key through the dialog's message loop, with Ctrl held if asked.
    static void PostKey(UINT vk, bool ctrl = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(GetFocus(), WM_KEYDOWN, vk, (MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16) | 1);
    }
    static void ReleaseKeys() {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    }
};

std::string ClassOf(HWND hwnd) {
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

LOGFONTA FontOf(HWND hwnd) {
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

TEST_F(OptionsDialogTest, WindowAndControls) {
    WriteIni("");
    TOptionsF o;
    HWND dlg = o.Handle();
    char caption[64];
    GetWindowTextA(dlg, caption, sizeof caption);
    EXPECT_STREQ(caption, "Options");
    RECT rc;
    GetClientRect(dlg, &rc);
    EXPECT_EQ(rc.right, 626);
    EXPECT_EQ(rc.bottom, 337);
    EXPECT_FALSE(GetWindowLongA(dlg, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_FALSE(IsWindowVisible(dlg));

    // Pages, in order, and the bottom bar.
    const char* captions[] = {"Java SDK", "Editor", "HTML Template", "Project"};
    ASSERT_EQ(SendMessageA(o.OptionsPC, TCM_GETITEMCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char text[32] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(o.OptionsPC, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, captions[i]);
    }
    EXPECT_EQ(o.ActivePage(), 0);
    RECT bar, cancel, ok, pc;
    GetWindowRect(o.Panel1, &bar);
    GetWindowRect(o.CancelBB, &cancel);
    GetWindowRect(o.OkBB, &ok);
    GetWindowRect(o.OptionsPC, &pc);
    EXPECT_EQ(bar.bottom - bar.top, 29);
    EXPECT_EQ(pc.bottom, bar.top);
    EXPECT_GT(ok.left, cancel.left);
    EXPECT_GT(cancel.left, (bar.left + bar.right) / 2);
    EXPECT_EQ(GetParent(o.OkBB), o.Panel2);

    const struct {
        HWND hwnd;
        HWND page;
        const char* cls;
        std::string text;
        bool readOnly;
    } controls[] = {
        {o.Label1, o.JavaSdkTS, "Static", "Java SDK binary ( ..\\bin) directory", false},
        {o.JDirE, o.JavaSdkTS, "Edit", sdk, false},
        {o.JDirSB, o.JavaSdkTS, "Button", "", false},
        {o.CompE, o.JavaSdkTS, "Edit", "javac.exe", true},
        {o.CompCommE, o.JavaSdkTS, "Edit", "%j", false},
        {o.InterpE, o.JavaSdkTS, "Edit", "java.exe", true},
        {o.IntCommE, o.JavaSdkTS, "Edit", "%c", false},
        {o.ApViewE, o.JavaSdkTS, "Edit", "appletviewer.exe", true},
        {o.ApViewCommE, o.JavaSdkTS, "Edit", "%h", false},
        {o.Memo1, o.JavaSdkTS, "Edit",
         "%j , %c and %h  are reuired in the compiler and interpreter \r\ncommands.\r\n\r\n"
         "%j is replaced with editor file name\r\n%c is replaced with class name\r\n"
         "%h is replaced with HTML file name",
         true},
        {o.EdFontSB, o.EditorTS, "Button", "Editor font", false},
        {o.FontNameL, o.EditorTS, "Static", "Courier New", false},
        {o.FontSizeL, o.EditorTS, "Static", "10", false},
        {o.AutoindentCB, o.EditorTS, "Button", "Autoindent", false},
        {o.SmartTabsCB, o.EditorTS, "Button", "Smart tabs", false},
        {o.NewUtf8CB, o.EditorTS, "Button", "Save new files as UTF-8", false},
        {o.ColourCB, o.EditorTS, "Button", "Colour", false},
        {o.HtmlTempM, o.HTMLTemplTS, "Edit", DefaultHtmlTemplate(), false},
        {o.Memo2, o.HTMLTemplTS, "Edit", "%c is required and will be \r\nreplaced with class file name",
         false},
        {o.AppComLineE, o.ProjectTS, "Edit", "", false},
        {o.AppHtmlE, o.ProjectTS, "Edit", "", false},
        {o.SpeedButton1, o.ProjectTS, "Button", "", false},
        {o.SaveOptBB, o.ProjectTS, "Button", "Save project options", false},
        {o.PrjOptIniE, o.ProjectTS, "Edit", "", true},
        {o.CancelBB, o.Panel2, "Button", "Cancel", false},
        {o.OkBB, o.Panel2, "Button", "OK", false},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(IsWindow(c.hwnd));
        EXPECT_TRUE(IsChild(c.page, c.hwnd));
        EXPECT_EQ(ClassOf(c.hwnd), c.cls);
        EXPECT_EQ(Text(c.hwnd), c.text);
        if (ClassOf(c.hwnd) == "Edit") {
            EXPECT_EQ((GetWindowLongA(c.hwnd, GWL_STYLE) & ES_READONLY) != 0, c.readOnly);
        }
    }
    EXPECT_TRUE(GetWindowLongA(o.RichEdit1, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(GetWindowLongA(o.OkBB, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (HWND b : {o.EdFontSB, o.SaveOptBB, o.CancelBB, o.OkBB}) {  // a picture beside the text
        HWND picture = GetWindow(b, GW_CHILD);
        ASSERT_TRUE(picture) << Text(b);
        EXPECT_NE(SendMessageA(picture, STM_GETICON, 0, 0), 0) << Text(b);
    }
    EXPECT_EQ(FontOf(o.FontNameL).lfWeight, FW_BOLD);
    EXPECT_EQ(FontOf(o.FontSizeL).lfWeight, FW_BOLD);
    LOGFONTA courier = FontOf(o.HtmlTempM);
    EXPECT_STREQ(courier.lfFaceName, "Courier New");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-courier.lfHeight, MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    // The preview holds a Java program in the editor font.
    std::string preview = Text(o.RichEdit1);
    EXPECT_NE(preview.find("public static void main"), std::string::npos);
    CHARFORMATA cf = {};
    cf.cbSize = sizeof cf;
    SendMessageA(o.RichEdit1, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "Courier New");
    EXPECT_EQ(cf.yHeight, 200);

    // Colours as painted: read-only fields and Memo2 on the button face, editable
    // fields on the window colour.
    Steps steps;
    steps << [&] {
        UpdateWindow(dlg);
        const struct {
            HWND hwnd;
            int page;
            int color;
        } fields[] = {{o.JDirE, 0, COLOR_WINDOW},   {o.CompE, 0, COLOR_BTNFACE},
                      {o.CompCommE, 0, COLOR_WINDOW}, {o.Memo1, 0, COLOR_BTNFACE},
                      {o.Memo2, 2, COLOR_BTNFACE},   {o.PrjOptIniE, 3, COLOR_BTNFACE},
                      {o.AppComLineE, 3, COLOR_WINDOW}};
        for (const auto& f : fields) {
            ClickTab(o, f.page);
            EXPECT_EQ(o.ActivePage(), f.page);
            RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            RECT r;
            GetClientRect(f.hwnd, &r);
            HDC dc = GetDC(f.hwnd);
            EXPECT_EQ(GetPixel(dc, r.right - 3, r.bottom - 3), GetSysColor(f.color))
                << Text(f.hwnd);
            ReleaseDC(f.hwnd, dc);
        }
        HDC dc = GetDC(GetWindow(o.OkBB, GW_CHILD));
        EXPECT_EQ(GetPixel(dc, 13, 4), RGB(0, 128, 0)) << "OK's check mark, painted";
        ReleaseDC(GetWindow(o.OkBB, GW_CHILD), dc);
        Click(o.CancelBB);
    };
    EXPECT_EQ(Show(o, steps), IDCANCEL);
}

// Each setting lives in its control: the accessor reads what the control holds
// and writing the accessor changes the control.
TEST_F(OptionsDialogTest, SettingsLiveInTheControls) {
    WriteIni("");
    TOptionsF o;
    using Get = std::string (TOptionsF::*)() const;
    using Set = void (TOptionsF::*)(const std::string&);
    const struct {
        HWND field;
        Get get;
        Set set;
    } texts[] = {
        {o.CompCommE, &TOptionsF::CompillerCommand, &TOptionsF::SetCompillerCommand},
        {o.IntCommE, &TOptionsF::InterpreterCommand, &TOptionsF::SetInterpreterCommand},
        {o.ApViewCommE, &TOptionsF::AppletViewerCommand, &TOptionsF::SetAppletViewerCommand},
        {o.AppComLineE, &TOptionsF::AppCommandLine, &TOptionsF::SetAppCommandLine},
        {o.JDirE, &TOptionsF::JavaSdkDir, &TOptionsF::SetJavaSdkDir},
    };
    Steps steps;
    steps << [&] {
        for (const auto& t : texts) {
            (o.*t.set)("set by code");
            EXPECT_EQ(Text(t.field), "set by code");
            SetWindowTextA(t.field, "");
            Type(t.field, "typed %j");
            EXPECT_EQ((o.*t.get)(), "typed %j");
        }
        // A typed SDK folder is checked on OK: a wrong one keeps the dialog open
        // with the check's message; a right one gets its final backslash.
        prompts.messageAnswers = {IDOK};
        Click(o.OkBB);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, JavaSdkDirMessage("typed %j\\"));
        EXPECT_TRUE(o.Showing());
        SetWindowTextA(o.JDirE, "");
        Type(o.JDirE, sdk.substr(0, sdk.size() - 1));
        Type(o.HtmlTempM, "<P>");
        EXPECT_EQ(o.HtmlTemplate().substr(0, 3), "<P>");
        Type(o.AppHtmlE, "page.html");
        EXPECT_EQ(o.AppletHtmlFile(), "page.html");
        o.SetAppletHtmlFile("C:\\pages\\Applet.html");
        EXPECT_EQ(Text(o.AppHtmlE), "Applet.html");
        Click(o.AutoindentCB);
        EXPECT_FALSE(o.AutoIndent());
        Click(o.NewUtf8CB);
        o.SetSmartTabs(false);
        EXPECT_EQ(SendMessageA(o.SmartTabsCB, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        // Nothing is written while the dialog is open.
        EXPECT_EQ(ReadAll(ini), "[JavaSDK]\r\nDirectory=" + sdk + "\r\n");
        Click(o.OkBB);
    };
    EXPECT_EQ(Show(o, steps), IDOK);
    EXPECT_EQ(Profile(ini, "JavaSDK", "Directory"), sdk);
    EXPECT_EQ(Profile(ini, "JavaSDK", "CompillerCommand"), "typed %j");
    EXPECT_EQ(Profile(ini, "Editor", "Autoindent"), "0");
    EXPECT_EQ(Profile(ini, "Editor", "NewFilesUTF8"), "1");
}

TEST_F(OptionsDialogTest, OkWritesTheTenKeysAndCancelRereadsThem) {
    // OK with nothing changed creates qp.ini with all ten keys and asks the
    // owner to apply the settings.
    prompts.messageAnswers = {IDOK};  // no SDK at the default directory
    TOptionsF o;
    ASSERT_FALSE(Exists(ini));
    Steps ok;
    ok << [&] { Click(o.OkBB); };
    EXPECT_EQ(Show(o, ok), IDOK);
    EXPECT_EQ(ApplyMessages(), 1);
    const char* keys[][3] = {{"JavaSDK", "Directory", "c:\\jdk1.3\\bin\\"},
                             {"JavaSDK", "CompillerCommand", "%j"},
                             {"JavaSDK", "InterpreterCommand", "%c"},
                             {"JavaSDK", "AppletViewerCommand", "%h"},
                             {"Editor", "FontName", "Courier New"},
                             {"Editor", "FontSize", "10"},
                             {"Editor", "Autoindent", "1"},
                             {"Editor", "SmartTabs", "1"},
                             {"Editor", "NewFilesUTF8", "0"},
                             {"Editor", "Colour", "1"}};
    for (auto& k : keys) EXPECT_EQ(Profile(ini, k[0], k[1]), k[2]) << k[1];

    // Edits everywhere, then Cancel: the file is untouched, the stored keys come
    // back, the template, the project page and the font's style stay.
    const std::string before = ReadAll(ini);
    prompts.fontAnswers.push_back(ScriptedPrompts::FontAnswer{});
    LOGFONTA& lf = prompts.fontAnswers.back()->font;
    lf.lfHeight = -20;
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = ANSI_CHARSET;
    lstrcpyA(lf.lfFaceName, "Arial");
    prompts.fontAnswers.back()->color = RGB(255, 0, 0);
    Steps cancel;
    cancel << [&] {
        Type(o.CompCommE, "-g ");
        Click(o.AutoindentCB);
        Click(o.EdFontSB);
        Type(o.HtmlTempM, "x");
        Type(o.AppComLineE, "args");
        Click(o.CancelBB);
    };
    EXPECT_EQ(Show(o, cancel), IDCANCEL);
    EXPECT_EQ(ApplyMessages(), 0);
    EXPECT_EQ(ReadAll(ini), before);
    EXPECT_EQ(o.CompillerCommand(), "%j");
    EXPECT_TRUE(o.AutoIndent());
    EXPECT_EQ(o.EditorFont().name, "Courier New");
    EXPECT_EQ(o.EditorFont().size, 10);
    EXPECT_EQ(Text(o.FontNameL), "Courier New");
    EXPECT_EQ(Text(o.FontSizeL), "10");
    EXPECT_EQ(o.EditorFont().style, unsigned(TEditorFont::Bold));
    EXPECT_EQ(o.EditorFont().color, RGB(255, 0, 0));
    EXPECT_EQ(o.EditorFont().charset, ANSI_CHARSET);
    EXPECT_EQ(o.HtmlTemplate(), "x" + DefaultHtmlTemplate());
    EXPECT_EQ(o.AppCommandLine(), "args");
    EXPECT_FALSE(o.JavaSdkValid());

    // The window's close button is Cancel too.
    Steps close;
    close << [&] {
        Type(o.IntCommE, "-cp . ");
        SendMessageA(o.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    EXPECT_EQ(Show(o, close), IDCANCEL);
    EXPECT_EQ(o.InterpreterCommand(), "%c");
    EXPECT_EQ(ReadAll(ini), before);
}

TEST_F(OptionsDialogTest, Keyboard) {
    WriteIni("");
    TOptionsF o;
    const struct {
        const char* name;
        HWND field;
        UINT key;
        int result;
    } closes[] = {
        {"Enter in a single-line field", o.CompCommE, VK_RETURN, IDOK},
        {"Esc", o.CompCommE, VK_ESCAPE, IDCANCEL},
        {"Enter on a check box", o.AutoindentCB, VK_RETURN, IDOK},
    };
    for (const auto& c : closes) {
        SCOPED_TRACE(c.name);
        Steps steps;
        steps << [&] {
            if (c.field == o.AutoindentCB) ClickTab(o, 1);
            SetFocus(c.field);
            PostKey(c.key);
        };
        EXPECT_EQ(Show(o, steps), c.result);
        EXPECT_EQ(ApplyMessages(), c.result == IDOK ? 1 : 0);
    }

    // Ctrl+Tab walks the pages; Enter in the template is a new line; the dialog
    // reopens on the page it was left on; Tab moves between fields.
    Steps steps;
    steps << [&] {
        SetActiveWindow(o.Handle());
        ClickTab(o, 0);
        SetFocus(o.CompCommE);
        PostKey(VK_TAB);
    } << [&] {
        EXPECT_EQ(GetFocus(), o.IntCommE);
        PostKey(VK_TAB, true);
    } << [&] {
        PostKey(VK_TAB, true);
    } << [&] {
        ReleaseKeys();
        EXPECT_EQ(o.ActivePage(), 2);
        EXPECT_TRUE(IsWindowVisible(o.HtmlTempM));
        EXPECT_FALSE(IsWindowVisible(o.CompCommE));
        SetFocus(o.HtmlTempM);
        SendMessageA(o.HtmlTempM, EM_SETSEL, 0, 0);
        PostKey(VK_RETURN);
    } << [&] {
        EXPECT_TRUE(o.Showing());
        EXPECT_EQ(o.HtmlTemplate().substr(0, 8), "\r\n<HTML>");
        PostKey(VK_ESCAPE);
    };
    EXPECT_EQ(Show(o, steps), IDCANCEL);
    Steps again;
    again << [&] {
        EXPECT_EQ(o.ActivePage(), 2);
        EXPECT_TRUE(IsWindowVisible(o.HtmlTempM));
        Click(o.CancelBB);
    };
    Show(o, again);
}

TEST_F(OptionsDialogTest, BrowseForTheSdkDirectory) {
    CreateDirectoryA((sdk + "sub").c_str(), nullptr);
    const struct {
        const char* name;
        std::string answer;  // "" is Cancel
        std::string checked;  // the directory the error box names; "" for none
        std::string dir;      // JavaSdkDir afterwards
    } cases[] = {
        {"cancel", "", "", sdk},
        {"a folder without the tools", sdk + "sub", sdk + "sub\\", sdk},
        {"a drive root", "C:\\", "C:\\", sdk},
        {"the tools, without a backslash", sdk.substr(0, sdk.size() - 1), "", sdk},
        {"the tools, with a backslash", sdk, "", sdk},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni("");
        TOptionsF o;
        prompts.folderDialogs.clear();
        prompts.folderOwners.clear();
        prompts.messages.clear();
        prompts.folderAnswers = {c.answer};
        if (!c.checked.empty()) prompts.messageAnswers = {IDOK};
        Steps steps;
        steps << [&] {
            Click(o.JDirSB);
            EXPECT_EQ(o.JavaSdkDir(), c.dir);
            EXPECT_EQ(Text(o.JDirE), c.dir);
            EXPECT_TRUE(o.JavaSdkValid());
            Click(o.OkBB);
        };
        Show(o, steps);
        ASSERT_EQ(prompts.folderDialogs.size(), 1u);
        const FolderDialogRequest& asked = prompts.folderDialogs[0];
        EXPECT_EQ(asked.title, "Select Java SDK binary ( ..\\bin) directory");
        EXPECT_EQ(asked.root, "");  // the whole computer
        EXPECT_EQ(asked.directory, sdk);
        EXPECT_EQ(asked.flags, UINT(BIF_RETURNONLYFSDIRS));
        EXPECT_EQ(prompts.folderOwners[0], o.Handle());
        ASSERT_EQ(prompts.messages.size(), c.checked.empty() ? 0u : 1u);
        if (!c.checked.empty()) {
            EXPECT_EQ(prompts.messages[0].text, JavaSdkDirMessage(c.checked));
            EXPECT_EQ(prompts.messages[0].caption, "Error");
            EXPECT_EQ(prompts.messages[0].owner, o.Handle());  // over the dialog
        }
    }

    // From the missing default to the tools: valid at once. Cancel without a
    // settings file keeps the choice; with one, the stored directory comes back
    // and the directory stays valid.
    RemoveTree(ini);
    prompts.messageAnswers = {IDOK};
    TOptionsF o;
    ASSERT_FALSE(o.JavaSdkValid());
    prompts.folderAnswers = {sdk.substr(0, sdk.size() - 1)};
    Steps steps;
    steps << [&] {
        Click(o.JDirSB);
        EXPECT_EQ(o.JavaSdkDir(), sdk);
        EXPECT_TRUE(o.JavaSdkValid());
        Click(o.CancelBB);
    };
    Show(o, steps);
    EXPECT_EQ(prompts.folderDialogs.back().root, "");
    EXPECT_EQ(o.JavaSdkDir(), sdk);
    WriteAll(ini, "[JavaSDK]\r\nDirectory=C:\\nowhere\\\r\n");
    prompts.folderAnswers = {sdk};
    Steps cancel;
    cancel << [&] {
        Click(o.JDirSB);
        Click(o.CancelBB);
    };
    Show(o, cancel);
    EXPECT_EQ(o.JavaSdkDir(), "C:\\nowhere\\");
    EXPECT_TRUE(o.JavaSdkValid());
}

TEST_F(OptionsDialogTest, EditorFont) {
    WriteIni("[Editor]\r\nFontName=Lucida Console\r\nFontSize=11\r\n");
    TOptionsF o;
    EXPECT_EQ(Text(o.FontNameL), "Lucida Console");
    EXPECT_EQ(Text(o.FontSizeL), "11");
    ScriptedPrompts::FontAnswer arial = {};
    arial.font.lfHeight = -20;  // 15 points at 96 dpi
    arial.font.lfWeight = FW_BOLD;
    arial.font.lfItalic = 1;
    arial.font.lfCharSet = ANSI_CHARSET;
    lstrcpyA(arial.font.lfFaceName, "Arial");
    arial.color = RGB(0, 0, 255);
    prompts.fontAnswers = {arial, std::nullopt};
    Steps steps;
    steps << [&] {
        Click(o.EdFontSB);
        HDC screen = GetDC(nullptr);
        int points = MulDiv(20, 72, GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
        const TEditorFont& f = o.EditorFont();
        EXPECT_EQ(f.name, "Arial");
        EXPECT_EQ(f.size, points);
        EXPECT_EQ(f.style, unsigned(TEditorFont::Bold | TEditorFont::Italic));
        EXPECT_EQ(f.color, RGB(0, 0, 255));
        EXPECT_EQ(f.charset, ANSI_CHARSET);
        EXPECT_EQ(Text(o.FontNameL), "Arial");
        EXPECT_EQ(Text(o.FontSizeL), std::to_string(points));
        CHARFORMATA cf = {};
        cf.cbSize = sizeof cf;
        SendMessageA(o.RichEdit1, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        EXPECT_STREQ(cf.szFaceName, "Arial");
        EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
        Click(o.EdFontSB);  // cancelled: nothing changes
        EXPECT_EQ(o.EditorFont().name, "Arial");
        Click(o.EdFontSB);  // a size past what the settings file reads back
        EXPECT_EQ(o.EditorFont().size, kMaxFontSize);
        Click(o.OkBB);
    };
    ScriptedPrompts::FontAnswer huge = arial;
    huge.font.lfHeight = -1000;  // 750 points at 96 dpi
    prompts.fontAnswers.push_back(huge);
    Show(o, steps);
    EXPECT_EQ(Profile(ini, "Editor", "FontSize"), std::to_string(kMaxFontSize));
    // The dialog opens on the editor's font as it is: from qp.ini (11 points at 96 dpi), then as chosen.
    ASSERT_EQ(prompts.fontDialogs.size(), 3u);
    EXPECT_STREQ(prompts.fontDialogs[0].logFont.lfFaceName, "Lucida Console");
    EXPECT_EQ(prompts.fontDialogs[0].logFont.lfHeight, -15);
    EXPECT_EQ(prompts.fontDialogs[0].logFont.lfCharSet, EASTEUROPE_CHARSET);
    EXPECT_FALSE(prompts.fontDialogs[0].flags & CF_LIMITSIZE);
    EXPECT_STREQ(prompts.fontDialogs[1].logFont.lfFaceName, "Arial");
    EXPECT_EQ(Profile(ini, "Editor", "FontName"), "Arial");
}

TEST_F(OptionsDialogTest, ProjectPage) {
    TOptionsF& o = OptionsWithSource(temp + "Hello.java");
    EXPECT_EQ(Text(o.PrjOptIniE), temp + "Hello.ini");
    prompts.fileAnswers = {"C:\\pages\\Applet.html", ""};
    Steps steps;
    steps << [&] {
        Click(o.SpeedButton1);
        EXPECT_EQ(Text(o.AppHtmlE), "Applet.html");
        Click(o.SpeedButton1);  // cancelled
        EXPECT_EQ(Text(o.AppHtmlE), "Applet.html");
        Type(o.AppComLineE, "-v 1");
        Click(o.OkBB);
    };
    Show(o, steps);
    for (const FileDialogRequest& asked : prompts.fileDialogs) {
        EXPECT_FALSE(asked.save);
        EXPECT_EQ(asked.filter, "All files|*.*|HTML |*.html; *.htm");
        EXPECT_EQ(asked.filterIndex, 2);
        EXPECT_EQ(asked.initialDir, temp);
        EXPECT_EQ(asked.flags, DWORD(OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING));
    }
    EXPECT_FALSE(Exists(temp + "Hello.ini"));  // neither OK nor Cancel writes it

    Steps save;
    save << [&] {
        Click(o.SaveOptBB);
        Click(o.CancelBB);
    };
    Show(o, save);
    EXPECT_EQ(Profile(temp + "Hello.ini", "Parameters", "CommandLine"), "-v 1");
    EXPECT_EQ(Profile(temp + "Hello.ini", "Parameters", "HTML"), "Applet.html");

    // A project file that can't be written: the error, and the dialog stays.
    o.SetSourceFile(temp + "missing\\Hello.java");
    Steps failing;
    failing << [&] { Click(o.SaveOptBB); } << [&] {
        EXPECT_TRUE(o.Showing());
        Click(o.CancelBB);
    };
    Show(o, failing);
    EXPECT_EQ(failures, std::vector<std::string>{"Unable to write to " + temp + "missing\\Hello.ini"});
}

TEST_F(OptionsDialogTest, FailedSaveKeepsTheDialogOpen) {
    WriteIni("");
    TOptionsF o;
    RemoveTree(ini);
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));  // in the way of qp.ini
    Steps steps;
    steps << [&] { Click(o.OkBB); } << [&] {
        EXPECT_TRUE(o.Showing());
        EXPECT_TRUE(IsWindowVisible(o.Handle()));
        EXPECT_EQ(failures, std::vector<std::string>{"Unable to write to " + ini});
        EXPECT_EQ(ApplyMessages(), 0);
        Click(o.OkBB);  // again: still failing
    } << [&] {
        EXPECT_EQ(failures.size(), 2u);
        Click(o.CancelBB);
    };
    EXPECT_EQ(Show(o, steps), IDCANCEL);
    EXPECT_EQ(ApplyMessages(), 0);
}

// Whatever a field can hold is stored so that the next start reads it back
// exactly; what can't be is refused before anything is written.
TEST_F(OptionsDialogTest, WrittenValuesReadBack) {
    const std::string longest(kMaxProfileText, 'a');
    const std::string values[] = {
        longest,
        " " + longest.substr(1),
        "  lead and trail  ",
        "\t%j\t",
        "\"%j\"",
        "'%j'",
        "\"C:\\My Files\" %j",
        "\x1a%j\x1a",
        "\x1a",
        "-encoding \xe9\x80\x9d\xff %j",
        "",
        " ",
    };
    for (const std::string& v : values) {
        SCOPED_TRACE(v.substr(0, 40));
        WriteIni("");
        const std::string source = temp + "Hello.java";
        {
            TOptionsF o;
            o.SetSourceFile(source);
            Steps steps;
            steps << [&] {
                SetWindowTextA(o.CompCommE, v.c_str());
                SetWindowTextA(o.AppComLineE, v.c_str());
                Click(o.SaveOptBB);
                Click(o.OkBB);
            };
            EXPECT_EQ(Show(o, steps), IDOK);
            EXPECT_TRUE(failures.empty());
        }
        TOptionsF again;
        again.SetSourceFile(source);
        EXPECT_EQ(again.CompillerCommand(), v);
        EXPECT_EQ(again.AppCommandLine(), v);
    }

    // Typing stops at the longest value that reads back.
    WriteIni("");
    TOptionsF o;
    for (HWND field : {o.CompCommE, o.IntCommE, o.ApViewCommE, o.AppComLineE, o.AppHtmlE}) {
        SetWindowTextA(field, "");
        Type(field, longest + "xyz");
        EXPECT_EQ(Text(field), longest);
    }
    // A value set by code that could not come back is refused, and the file stays.
    const std::string before = ReadAll(ini);
    const std::string refused[] = {longest + "b", std::string(40000, 'c'), "a\r\nb"};
    for (const std::string& v : refused) {
        failures.clear();
        o.SetInterpreterCommand(v);
        Steps steps;
        steps << [&] { Click(o.OkBB); } << [&] { Click(o.CancelBB); };
        EXPECT_EQ(Show(o, steps), IDCANCEL);
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].substr(0, failures[0].find('\r')), "Unable to write to " + ini);
        EXPECT_NE(failures[0].find("JavaSDK/InterpreterCommand"), std::string::npos);
        EXPECT_EQ(ReadAll(ini), before);
    }
}

}  // namespace
