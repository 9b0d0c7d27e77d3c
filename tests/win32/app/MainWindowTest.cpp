// The main window as the user first sees it and as it reacts to typing,
// hints, settings and failures.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "BuildFixture.h"
#include "MainWindowFixture.h"

namespace {

std::string MenuText(HMENU menu, UINT pos) {
    char text[128] = "";
    GetMenuStringA(menu, pos, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST_F(MainWindowTest, StartUpState) {
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Untitled.java");
    EXPECT_EQ(QPadF->FileName(), "Untitled.java");
    EXPECT_EQ(QPadF->PanelText(0), "Hint");
    EXPECT_EQ(QPadF->PanelText(1), " 1 : 1");
    EXPECT_EQ(QPadF->PanelText(2), "");
    for (const char* a : {"CodeRun", "CodeRunApplet", "CodeCreateHTML"}) {
        SCOPED_TRACE(a);
        EXPECT_FALSE(Enabled(a));
        EXPECT_FALSE(MenuEnabled(a));
    }
    EXPECT_FALSE(ButtonEnabled("CodeRun"));
    EXPECT_FALSE(ButtonEnabled("CodeRunApplet"));
    EXPECT_TRUE(Enabled("CodeCompile"));
    EXPECT_TRUE(ButtonEnabled("CodeCompile"));
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(GetFocus(), EditorWnd());
    // A new text has nothing to undo, cut or copy.
    QPadF->Idle();
    for (const char* a : {"EditUndo1", "EditCut1", "EditCopy1"}) {
        EXPECT_FALSE(Enabled(a)) << a;
        EXPECT_FALSE(ButtonEnabled(a)) << a;
    }
    // The editor took the settings holder's values at the first show.
    EXPECT_EQ(Editor().AutoIndent(), OptionsF->AutoIndent());
    EXPECT_EQ(Editor().SmartTabs(), OptionsF->SmartTabs());
}

TEST_F(MainWindowTest, DesignedLayout) {
    RECT client;
    GetClientRect(QPadF->Handle(), &client);
    EXPECT_EQ(client.right, 694);
    EXPECT_EQ(client.bottom, 480);

    const struct { const char* name; HWND hwnd; int left, top, width, height; } rows[] = {
        {"ToolBar1", QPadF->ToolBar1(), 0, 0, 694, 30},
        {"RichEditP", QPadF->RichEditP(), 0, 30, 694, 480 - 30 - 5 - 105 - 19},
        {"Splitter2", QPadF->Splitter2(), 0, 480 - 19 - 105 - 5, 694, 5},
        {"Panel1", QPadF->Panel1(), 0, 480 - 19 - 105, 694, 105},
        {"StatusBar", QPadF->StatusBar(), 0, 480 - 19, 694, 19},
        {"ErrorP", QPadF->ErrorP(), 0, 0, 282, 105},
        {"Splitter3", QPadF->Splitter3(), 282, 0, 5, 105},
        {"CompillerP", QPadF->CompillerP(), 287, 0, 694 - 287, 105},
        {"ErrorHC", QPadF->ErrorHC(), 0, 0, 282, 17},
        {"ErrorLB", QPadF->ErrorLB(), 0, 17, 282, 105 - 17},
        {"CompillerHC", QPadF->CompillerHC(), 0, 0, 694 - 287, 17},
        {"CompillerLB", QPadF->CompillerLB(), 0, 17, 694 - 287, 105 - 17},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        RECT rc = ChildRect(r.hwnd);
        EXPECT_EQ(rc.left, r.left);
        EXPECT_EQ(rc.top, r.top);
        EXPECT_EQ(rc.right - rc.left, r.width);
        EXPECT_EQ(rc.bottom - rc.top, r.height);
    }
    // The editor fills its panel.
    RECT panel, editor;
    GetClientRect(QPadF->RichEditP(), &panel);
    editor = ChildRect(EditorWnd());
    EXPECT_EQ(editor.right - editor.left, panel.right);
    EXPECT_EQ(editor.bottom - editor.top, panel.bottom);

    // Status bar panels 200, 50 and the rest, less the text's form at the right end.
    int edges[4] = {};
    RECT bar;
    GetClientRect(QPadF->StatusBar(), &bar);
    ASSERT_EQ(SendMessageA(QPadF->StatusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ(edges[0], 200);
    EXPECT_EQ(edges[1], 250);
    EXPECT_EQ(edges[2], bar.right - 120);
    EXPECT_EQ(edges[3], -1);
    EXPECT_EQ(QPadF->PanelText(3), "ANSI  CRLF");
}

TEST_F(MainWindowTest, ListsAndHeaders) {
    const struct { HWND header, list; const char* caption; } lists[] = {
        {QPadF->ErrorHC(), QPadF->ErrorLB(), "Errors"},
        {QPadF->CompillerHC(), QPadF->CompillerLB(), "DOS output"},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.caption);
        EXPECT_EQ(SendMessageA(l.header, HDM_GETITEMCOUNT, 0, 0), 1);
        char text[64] = "";
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(l.header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, l.caption);
        RECT rc;
        GetClientRect(l.header, &rc);
        EXPECT_EQ(item.cxy, rc.right) << "the one section spans the header";

        EXPECT_EQ(SendMessageA(l.list, LB_GETITEMHEIGHT, 0, 0), 15);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(l.list, WM_GETFONT, 0, 0));
        LOGFONTA lf = {};
        ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
        EXPECT_STREQ(lf.lfFaceName, "Courier New");
        EXPECT_EQ(lf.lfHeight, -12);
        EXPECT_EQ(lf.lfCharSet, RUSSIAN_CHARSET);
    }
}

TEST_F(MainWindowTest, ActionTable) {
    const struct { const char* name; const char* category; const char* caption; const char* shortcut; const char* hint; } rows[] = {
        {"FileNew1", "File", "&New", "Ctrl+N", "New|Create a new file"},
        {"FileOpen1", "File", "&Open", "Ctrl+O", "Open|Open a file"},
        {"FileSave1", "File", "&Save", "Ctrl+S", "Save|Save current file"},
        {"FileSaveAs1", "File", "Save &As...", "", "Save As|Save current file with different name"},
        {"FileExit1", "File", "E&xit", "", "Exit|Exit application"},
        {"EditUndo1", "Edit", "&Undo", "Ctrl+Z", "Undo last changes"},
        {"EditRedo1", "Edit", "&Redo", "Ctrl+Y", "Redo|Redo last undone changes"},
        {"EditCut1", "Edit", "Cu&t", "Ctrl+X", "Cut|Cuts the selection and puts it on the Clipboard"},
        {"EditCopy1", "Edit", "&Copy", "Ctrl+C", "Copy|Copies the selection and puts it on the Clipboard"},
        {"EditPaste1", "Edit", "&Paste", "Ctrl+V", "Paste|Inserts Clipboard contents"},
        {"EditSelectAll1", "Edit", "Select &All", "Ctrl+A", "Select All|Selects the whole text"},
        {"EditOptions", "Edit", "&Options", "", "Options"},
        {"EdFind", "Edit", "Find", "Ctrl+F", "Find text"},
        {"EdReplace", "Edit", "&Replace...", "Ctrl+H", "Replace|Replace text"},
        {"EdSearchAgain", "Edit", "Search again", "F3", "Repeat last search"},
        {"EdGoToLine", "Edit", "&Go to Line...", "Ctrl+G", "Go to Line|Move the caret to a line by its number"},
        {"CodeCompile", "Code", "&Compile", "Ctrl+F9", "Compile source"},
        {"CodeRun", "Code", "&Run", "F9", "Run application"},
        {"CodeCreateHTML", "Code", "Create HTML", "Ctrl+F10", "Create HTML template"},
        {"CodeRunApplet", "Code", "Run Applet", "F10", "Run Applet viewer"},
        {"HelpAbout1", "Help", "&About...", "", "About|Displays program information, version number, and copyright"},
    };
    ASSERT_EQ(QPadF->Actions().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const TAction& a = QPadF->Actions()[i];
        SCOPED_TRACE(rows[i].name);
        EXPECT_STREQ(a.name, rows[i].name);
        EXPECT_STREQ(a.category, rows[i].category);
        EXPECT_STREQ(a.caption, rows[i].caption);
        EXPECT_EQ(a.ShortcutText(), rows[i].shortcut);
        EXPECT_STREQ(a.hint, rows[i].hint);
    }
}

TEST_F(MainWindowTest, Menus) {
    const struct { const char* caption; std::vector<const char*> items; } menus[] = {
        {"&File", {"&New\tCtrl+N", "&Open\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "", "E&xit"}},
        {"&Edit", {"&Undo\tCtrl+Z", "&Redo\tCtrl+Y", "", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V",
                   "Select &All\tCtrl+A", "", "&Options"}},
        {"&Search", {"Find\tCtrl+F", "&Replace...\tCtrl+H", "Search again\tF3", "", "&Go to Line...\tCtrl+G"}},
        {"&Code", {"&Compile\tCtrl+F9", "&Run\tF9", "Create HTML\tCtrl+F10", "Run Applet\tF10"}},
        {"&Help", {"&About..."}},
    };
    HMENU bar = GetMenu(QPadF->Handle());
    ASSERT_EQ(bar, QPadF->MainMenu1());
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    for (UINT m = 0; m < 5; ++m) {
        SCOPED_TRACE(menus[m].caption);
        EXPECT_EQ(MenuText(bar, m), menus[m].caption);
        HMENU popup = GetSubMenu(bar, static_cast<int>(m));
        ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(menus[m].items.size()));
        for (UINT i = 0; i < menus[m].items.size(); ++i) {
            const char* want = menus[m].items[i];
            if (!*want)
                EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR) << i;
            else
                EXPECT_EQ(MenuText(popup, i), want);
        }
    }
}

TEST_F(MainWindowTest, ToolBarButtons) {
    // Separators are marked by "|".
    const char* const want[] = {"FileNew1", "FileOpen1", "FileSave1", "|", "EditUndo1", "EditCut1",
                                "EditCopy1", "EditPaste1", "|", "EdFind", "|", "EditOptions", "|",
                                "CodeCompile", "CodeRun", "CodeRunApplet"};
    int n = static_cast<int>(SendMessageA(QPadF->ToolBar1(), TB_BUTTONCOUNT, 0, 0));
    ASSERT_EQ(n, static_cast<int>(std::size(want)));
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE(i);
        TBBUTTON b = {};
        SendMessageA(QPadF->ToolBar1(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        if (std::string(want[i]) == "|") {
            EXPECT_TRUE(b.fsStyle & TBSTYLE_SEP);
            EXPECT_EQ(b.iBitmap, 8);
        } else {
            EXPECT_EQ(b.idCommand, static_cast<int>(QPadF->FindAction(want[i])->id)) << want[i];
        }
    }
}

TEST_F(MainWindowTest, TypingClearsOutputAndDisablesRun) {
    UseStandInSdk(prompts);
    Command("CodeCompile");  // the untitled text, unchanged: a clean compile
    ASSERT_TRUE(Enabled("CodeRun"));
    ASSERT_EQ(Items(QPadF->CompillerLB()).size(), 1u);
    Type("a");
    EXPECT_TRUE(Items(QPadF->CompillerLB()).empty());
    EXPECT_EQ(Items(QPadF->ErrorLB()), std::vector<std::string>{"No errors"});
    EXPECT_FALSE(Enabled("CodeRun"));
    EXPECT_FALSE(Enabled("CodeRunApplet"));
    EXPECT_FALSE(ButtonEnabled("CodeRun"));
    EXPECT_TRUE(Editor().Modified());
}

TEST_F(MainWindowTest, CaretPositionInPanel1) {
    Type("abc");
    EXPECT_EQ(QPadF->PanelText(1), " 1 : 4");
    Type("\nxy");
    EXPECT_EQ(QPadF->PanelText(1), " 2 : 3");
    // A selection shows its start, wherever the caret is.
    Editor().SetSel(6, 1);
    ProcessMessages();
    EXPECT_EQ(QPadF->PanelText(1), " 1 : 2");
    Editor().SetSelStart(0);
    ProcessMessages();
    EXPECT_EQ(QPadF->PanelText(1), " 1 : 1");
}

TEST_F(MainWindowTest, EditorAutoIndentsOnTheRealWindow) {
    Type("class A {\n");
    Type("   int x;\n");
    Type("y");
    EXPECT_EQ(Editor().Text(), "class A {\r\n   int x;\r\n   y");
    // The new line is indented to column 3, at the end of "   y": a Tab there
    // has no guide in the line above and inserts the default 6 blanks.
    Type("\n");
    Key(VK_TAB, '\t');
    EXPECT_EQ(Editor().Text(), "class A {\r\n   int x;\r\n   y\r\n" + std::string(9, ' '));
}

TEST_F(MainWindowTest, AutomaticHints) {
    auto moveOver = [](HWND hwnd, int x, int y) {
        MSG msg = {};
        msg.hwnd = hwnd;
        msg.message = WM_MOUSEMOVE;
        msg.lParam = MAKELPARAM(x, y);
        QPadF->PreTranslate(msg);
    };
    moveOver(QPadF->ErrorLB(), 5, 5);
    EXPECT_EQ(QPadF->PanelText(0), "DblClick to go to error");
    RECT rc;
    SendMessageA(QPadF->ToolBar1(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
    moveOver(QPadF->ToolBar1(), (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_EQ(QPadF->PanelText(0), "Create a new file");
    SendMessageA(QPadF->ToolBar1(), TB_GETITEMRECT, 13, reinterpret_cast<LPARAM>(&rc));  // Compile
    moveOver(QPadF->ToolBar1(), (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    EXPECT_EQ(QPadF->PanelText(0), "Compile source");
    moveOver(EditorWnd(), 5, 5);
    EXPECT_EQ(QPadF->PanelText(0), "");

    // Menus: the long part of the item's hint, the menu's own hint for a menu.
    SendMessageA(QPadF->Handle(), WM_MENUSELECT, MAKEWPARAM(0, MF_POPUP), reinterpret_cast<LPARAM>(QPadF->MainMenu1()));
    EXPECT_EQ(QPadF->PanelText(0), "File related commands");
    SendMessageA(QPadF->Handle(), WM_MENUSELECT, MAKEWPARAM(QPadF->FindAction("FileSaveAs1")->id, 0),
                 reinterpret_cast<LPARAM>(GetSubMenu(QPadF->MainMenu1(), 0)));
    EXPECT_EQ(QPadF->PanelText(0), "Save current file with different name");
    SendMessageA(QPadF->Handle(), WM_MENUSELECT, MAKEWPARAM(2, MF_POPUP), reinterpret_cast<LPARAM>(QPadF->MainMenu1()));
    EXPECT_EQ(QPadF->PanelText(0), "");  // Search has no hint
    SendMessageA(QPadF->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(QPadF->PanelText(0), "");

    // Tool tips show the short part.
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(QPadF->ToolBar1(), TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = QPadF->FindAction("EditCut1")->id;
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(QPadF->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Cut");
    info.hdr.idFrom = QPadF->FindAction("CodeRun")->id;
    SendMessageA(QPadF->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(info.lpszText, "Run application");
}

TEST_F(MainWindowTest, StandardEditActionsFollowTheFocusedControl) {
    Type("hello");
    Editor().SetSelStart(5);
    QPadF->Idle();
    EXPECT_FALSE(Enabled("EditCut1"));
    EXPECT_FALSE(Enabled("EditCopy1"));
    EXPECT_TRUE(Enabled("EditUndo1"));
    Editor().SetSel(0, 5);
    QPadF->Idle();
    EXPECT_TRUE(Enabled("EditCut1"));
    EXPECT_TRUE(ButtonEnabled("EditCopy1"));
    ASSERT_TRUE(Command("EditCopy1"));
    QPadF->Idle();
    EXPECT_TRUE(Enabled("EditPaste1"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(CF_TEXT);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "hello");
    GlobalUnlock(h);
    // Text from another program.
    EmptyClipboard();
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, 4);
    memcpy(GlobalLock(g), "abc", 4);
    GlobalUnlock(g);
    SetClipboardData(CF_TEXT, g);
    CloseClipboard();
    Editor().SetSelStart(5);
    ASSERT_TRUE(Command("EditPaste1"));
    EXPECT_EQ(Editor().Text(), "helloabc");
    Editor().SetSel(0, 5);
    Command("EditCut1");
    EXPECT_EQ(Editor().Text(), "abc");

    // With the focus on a list nothing can be cut, copied or pasted.
    SetFocus(QPadF->ErrorLB());
    QPadF->Idle();
    for (const char* a : {"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1"}) EXPECT_FALSE(Enabled(a)) << a;
    EXPECT_FALSE(MenuEnabled("EditPaste1"));
    // An emptied clipboard leaves nothing to paste.
    Editor().SetFocus();
    QPadF->Idle();
    EXPECT_TRUE(Enabled("EditPaste1"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    QPadF->Idle();
    EXPECT_FALSE(Enabled("EditPaste1"));
}

TEST_F(MainWindowTest, FailuresReachTheHandlerAndTheWindowStaysUsable) {
    prompts.messageAnswers = {IDOK, IDOK, IDOK};
    QPadF->Guarded([] { throw Exception("Can't find \"%j\" in compiler command"); });
    QPadF->Guarded([] { throw EAbort(); });  // never shown
    OptionsF->SetJavaSdkDir("C:\\nowhere\\");
    QPadF->Guarded([] { throw EJavaSdkError(); });
    QPadF->Guarded([] { throw ENoAppletCode(); });
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].caption, "Quillpad");
    EXPECT_EQ(prompts.messages[0].text, "Can't find \"%j\" in compiler command.");
    EXPECT_EQ(prompts.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(prompts.messages[1].caption, "Error");
    EXPECT_NE(prompts.messages[1].text.find("incorrect path: C:\\nowhere\\\r"), std::string::npos);
    EXPECT_EQ(prompts.messages[2].text, "It is not Java applet");
    Type("x");
    EXPECT_EQ(Editor().Text(), "x");
}

TEST_F(MainWindowTest, ApplySettingsMessage) {
    OptionsF->SetAutoIndent(false);
    OptionsF->SetSmartTabs(false);
    OptionsF->EditorFont().SetSize(14);
    PostMessageA(QPadF->Handle(), WM_APPLYSETTINGS, 0, 0);
    ProcessMessages();
    EXPECT_FALSE(Editor().AutoIndent());
    EXPECT_FALSE(Editor().SmartTabs());
    Type("  ab\n");
    EXPECT_EQ(Editor().Text(), "  ab\r\n") << "no auto-indent any more";
    Key(VK_TAB, '\t');
    EXPECT_EQ(Editor().Text(), "  ab\r\n      ") << "plain 6 blanks";
}

TEST_F(MainWindowTest, CodeCreateHtmlFollowsNewAndOpenOnly) {
    Type("class A extends Applet {}");
    EXPECT_FALSE(Enabled("CodeCreateHTML")) << "typing does not re-evaluate it";
    std::string path = dir + "A.java";
    WriteFileBytes(path, "// extends Applet\r\nclass A {}\r\n");
    prompts.messageAnswers = {IDNO};       // do not save the typed text
    prompts.fileAnswers = {path};
    Command("FileOpen1");
    EXPECT_TRUE(Enabled("CodeCreateHTML"));
    EXPECT_TRUE(MenuEnabled("CodeCreateHTML"));
    Editor().SetText("");
    EXPECT_TRUE(Enabled("CodeCreateHTML"));
    Command("FileNew1");
    EXPECT_FALSE(Enabled("CodeCreateHTML"));

    std::string japplet = dir + "B.java";
    WriteFileBytes(japplet, "class B extends JApplet {}");
    prompts.fileAnswers = {japplet};
    Command("FileOpen1");
    EXPECT_FALSE(Enabled("CodeCreateHTML"));
}

TEST_F(MainWindowTest, SplittersResizeTheLists) {
    HWND s2 = QPadF->Splitter2();
    RECT rc;
    GetWindowRect(s2, &rc);
    SetCursorPos(rc.left + 50, rc.top + 2);
    SendMessageA(s2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 2));
    SetCursorPos(rc.left + 50, rc.top + 2 - 40);
    SendMessageA(s2, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, -38));
    SendMessageA(s2, WM_LBUTTONUP, 0, MAKELPARAM(50, -38));
    EXPECT_EQ(QPadF->BottomHeight(), 145);
    RECT panel = ChildRect(QPadF->Panel1());
    EXPECT_EQ(panel.bottom - panel.top, 145);

    HWND s3 = QPadF->Splitter3();
    GetWindowRect(s3, &rc);
    SetCursorPos(rc.left + 2, rc.top + 20);
    SendMessageA(s3, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 20));
    SetCursorPos(rc.left + 2 - 1000, rc.top + 20);  // far past the left edge
    SendMessageA(s3, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-998, 20));
    SendMessageA(s3, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(QPadF->ErrorWidth(), 1) << "the error list keeps its minimum of 1 pixel";
}

// The layout on its own: the panes' areas for a client size, the remembered
// sizes clamped to what the area has room for, and the splitters' drags.
TEST(QPadLayout, AreasForAClientSize) {
    const struct {
        const char* what;
        int width, height;
        int bottomDrag, sideDrag;  // 0: no drag
        int bottomHeight, errorWidth;  // remembered after the drags
        RECT editorPanel, bottomPanel, compilerPanel, errorList;
    } rows[] = {
        {"designed", 694, 480, 0, 0, 105, 282, {0, 30, 694, 351}, {0, 356, 694, 461}, {287, 0, 694, 105},
         {0, 17, 282, 105}},
        {"small: the lists give way, the editor keeps 30", 300, 100, 0, 0, 105, 282, {0, 30, 300, 60},
         {0, 65, 300, 81}, {287, 0, 300, 16}, {0, 17, 282, 17}},
        {"smaller than the bars", 200, 50, 0, 0, 105, 282, {0, 30, 200, 30}, {0, 31, 200, 31}, {199, 0, 200, 0},
         {0, 17, 194, 17}},
        {"lists dragged up 40", 694, 480, -40, 0, 145, 282, {0, 30, 694, 311}, {0, 316, 694, 461},
         {287, 0, 694, 145}, {0, 17, 282, 145}},
        {"lists dragged past the top", 694, 480, -1000, 0, 396, 282, {0, 30, 694, 60}, {0, 65, 694, 461},
         {287, 0, 694, 396}, {0, 17, 282, 396}},
        {"side dragged past the left", 694, 480, 0, -1000, 105, 1, {0, 30, 694, 351}, {0, 356, 694, 461},
         {6, 0, 694, 105}, {0, 17, 1, 105}},
        {"side dragged right 100", 694, 480, 0, 100, 105, 382, {0, 30, 694, 351}, {0, 356, 694, 461},
         {387, 0, 694, 105}, {0, 17, 382, 105}},
    };
    auto same = [](const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        TQPadLayout layout;
        if (r.bottomDrag) {
            layout.BeginBottomDrag(r.height);
            layout.DragBottom(r.bottomDrag, r.height);
        }
        if (r.sideDrag) {
            layout.BeginSideDrag(r.width);
            layout.DragSide(r.sideDrag, r.width);
        }
        EXPECT_EQ(layout.BottomHeight(), r.bottomHeight);
        EXPECT_EQ(layout.ErrorWidth(), r.errorWidth);
        const TQPadLayout::Areas a = layout.AreasFor(r.width, r.height);
        EXPECT_TRUE(same(a.editorPanel, r.editorPanel));
        EXPECT_TRUE(same(a.bottomPanel, r.bottomPanel));
        EXPECT_TRUE(same(a.compilerPanel, r.compilerPanel));
        EXPECT_TRUE(same(a.errorList, r.errorList));
        EXPECT_EQ(a.statusBar.top, r.height - 19);
    }
}

namespace {
DWORD fakeNow = 0;
DWORD WINAPI FakeClock() { return fakeNow; }
}  // namespace

// The placement keeper on its own clock: a placement saved when hidden goes
// back for two seconds after the window shows again, across the tick count's
// wrap too; a window that was never shown has none to put back.
TEST(PlacementKeeper, PutsBackForTwoSecondsAfterTheShow) {
    const struct {
        const char* what;
        bool shownFirst;
        DWORD hiddenAt, shownAt, askedAt;
        bool restoring;
    } rows[] = {
        {"just shown", true, 5000, 9000, 9000, true},
        {"two seconds on", true, 5000, 9000, 11000, true},
        {"past two seconds", true, 5000, 9000, 11001, false},
        {"across the wrap", true, 0xFFFFF000u, 0xFFFFFF00u, 0x00000500u, true},
        {"across the wrap, too late", true, 0xFFFFF000u, 0xFFFFFF00u, 0x00000800u, false},
        {"never shown before", false, 5000, 9000, 9000, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(window);
        if (r.shownFirst) ShowWindow(window, SW_SHOWNOACTIVATE);
        TPlacementKeeper keeper(&FakeClock);
        fakeNow = r.hiddenAt;
        keeper.FollowApplication(window, true);
        EXPECT_FALSE(IsWindowVisible(window));
        fakeNow = r.shownAt;
        keeper.FollowApplication(window, false);
        EXPECT_TRUE(IsWindowVisible(window));
        MSG msg;
        EXPECT_EQ(PeekMessageA(&msg, window, WM_RESTOREPLACEMENT, WM_RESTOREPLACEMENT, PM_REMOVE) != 0,
                  r.shownFirst)
            << "the putting back is posted once shown";
        fakeNow = r.askedAt;
        EXPECT_EQ(keeper.Restoring(), r.restoring);
        DestroyWindow(window);
    }
}

TEST_F(MainWindowTest, ClosingAsksAndCancelKeepsTheWindow) {
    Type("unsaved");
    prompts.messageAnswers = {IDCANCEL};
    SendMessageA(QPadF->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(QPadF->Handle()));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Save changes to Untitled.java?");
    EXPECT_EQ(Editor().Text(), "unsaved");
    EXPECT_TRUE(Editor().Modified());

    // Windows shutting down asks the same question.
    prompts.messageAnswers = {IDCANCEL};
    EXPECT_EQ(SendMessageA(QPadF->Handle(), WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(prompts.messages.size(), 2u);

    prompts.messageAnswers = {IDNO};
    Command("FileExit1");
    EXPECT_EQ(QPadF->Handle(), nullptr) << "No closes without saving";
    EXPECT_EQ(prompts.messages.size(), 3u);
}

}  // namespace

namespace {

// A bitmap's pixels as 0x00RRGGBB, the top row first.
std::vector<DWORD> Pixels(HBITMAP bitmap, int width, int height) {
    std::vector<DWORD> pixels(std::size_t(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (DWORD& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

}  // namespace

// The pictures from the program's resources: each colour in its place, the
// given background elsewhere, and the icon's mask clear there.
TEST(ProgramPictures, FromTheResources) {
    ScopedBitmap buttons(CreateCodeButtonsBitmap(RGB(1, 2, 3)));
    const std::vector<DWORD> b = Pixels(buttons.Get(), 48, 16);
    const struct {
        int x, y;
        DWORD rgb;
    } buttonPixels[] = {{0, 0, 0x000000},         {15, 0, 0x010203},   {12, 5, 0x00A000},
                        {8, 10, 0xC06000},        {16 + 4, 2, 0x00A000}, {16 + 0, 0, 0x010203},
                        {32 + 13, 1, 0xFFFFFF},   {32 + 1, 1, 0x000080}, {47, 15, 0x000000}};
    for (const auto& p : buttonPixels) EXPECT_EQ(b[p.y * 48 + p.x], p.rgb) << p.x << "," << p.y;

    ScopedIcon icon(CreateAppIcon(16));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
    const std::vector<DWORD> c = Pixels(color.Get(), 16, 16), m = Pixels(mask.Get(), 16, 16);
    const struct {
        int x, y;
        DWORD rgb;
        bool opaque;
    } iconPixels[] = {{0, 0, 0x000000, false}, {2, 0, 0x000000, true}, {3, 1, 0xFFFFFF, true},
                      {14, 1, 0x000080, true}, {4, 3, 0x808080, true}, {15, 15, 0x000000, false}};
    for (const auto& p : iconPixels) {
        EXPECT_EQ(c[p.y * 16 + p.x], p.rgb) << p.x << "," << p.y;
        EXPECT_EQ(m[p.y * 16 + p.x], p.opaque ? 0x000000u : 0xFFFFFFu) << p.x << "," << p.y;
    }
}

// Explorer, shortcuts and Alt+Tab show a program file's first icon: it must be
// the program's own, at 16 and 32 pixels (a named or lower-numbered icon added
// to any resource script would come first).
TEST(ProgramPictures, FirstIconOfTheProgramFile) {
    char path[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    HICON big = nullptr, small = nullptr;
    ExtractIconExA(path, 0, &big, &small, 1);
    ASSERT_TRUE(big && small);
    ScopedIcon bigIcon(big), smallIcon(small), own(CreateAppIcon(16));
    ICONINFO b = {}, s = {}, o = {};
    ASSERT_TRUE(GetIconInfo(big, &b) && GetIconInfo(small, &s) && GetIconInfo(own.Get(), &o));
    ScopedBitmap bColor(b.hbmColor), bMask(b.hbmMask), sColor(s.hbmColor), sMask(s.hbmMask), oColor(o.hbmColor),
        oMask(o.hbmMask);
    BITMAP size = {};
    GetObjectA(b.hbmColor, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 32);
    EXPECT_EQ(Pixels(s.hbmColor, 16, 16), Pixels(o.hbmColor, 16, 16));
    EXPECT_EQ(Pixels(s.hbmMask, 16, 16), Pixels(o.hbmMask, 16, 16));
}
