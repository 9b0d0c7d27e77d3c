// Find and Search again as the user runs them: the real find dialog driven
// inside its modal loop, the editor's selection and focus read back.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ControlsWin32.h"
#include "FindU.h"
#include "FixedDialog.h"
#include "MainWindowFixture.h"
#include "ReplaceU.h"
#include "WhileShown.h"

namespace {

// Positions: "count" 4, "Count" 16, "counter" 22, "count" 32, "count" 43, "COUNT" 49; 54 long.
const std::string kText = "int count = 0;\r\nCount counter = count;\r\n// count COUNT";

struct Choice {
    const char* text = "count";
    bool entireScope = false;
    bool caseSensitive = false;
    bool wholeWords = true;
};

class FindTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FindF = new TFindF(QPadF->Handle());
    }
    void TearDown() override {
        if (FindF != QPadF->OwnFindF()) delete FindF;  // the one the window made is the window's
        MainWindowTest::TearDown();
    }

    void Load(const std::string& text) {
        Editor().SetText(text);
        ProcessMessages();
    }
    void Select(int start, int end) {
        Editor().SetSel(start, end);
        ProcessMessages();
    }
    std::pair<int, int> Selection() { return {Editor().SelStart(), Editor().SelLength()}; }

    // A menu command: WM_COMMAND with the item's id and no control.
    void Menu(const char* action) {
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction(action)->id, 0), 0);
        ProcessMessages();
    }
    // A key as the message loop sees it: the main window's accelerators first.
    void Press(UINT vk, bool ctrl = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE saved = keys[VK_CONTROL];
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND target = GetFocus() ? GetFocus() : QPadF->Handle();
        MSG msg{target, WM_KEYDOWN, vk, 1, 0, {0, 0}};
        if (!QPadF->PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        keys[VK_CONTROL] = saved;
        SetKeyboardState(keys);
        ProcessMessages();
    }

    // Types into the focused control and sets the dialog's buttons as the user clicks them.
    static void Fill(const Choice& c) {
        HWND focus = GetFocus();
        EXPECT_EQ(focus, FindF->FindTextE);
        if (!*c.text) SendMessageA(focus, WM_CHAR, VK_BACK, 1);  // the old text is selected
        for (const char* p = c.text; *p; ++p) SendMessageA(focus, WM_CHAR, static_cast<unsigned char>(*p), 1);
        SendMessageA(c.entireScope ? FindF->EntrieScopeRB : FindF->FromCursorRB, BM_CLICK, 0, 0);
        if (IsChecked(FindF->CaseSensCB) != c.caseSensitive) SendMessageA(FindF->CaseSensCB, BM_CLICK, 0, 0);
        if (IsChecked(FindF->WordsCB) != c.wholeWords) SendMessageA(FindF->WordsCB, BM_CLICK, 0, 0);
    }
    // Find from the menu: fill the dialog, then Enter (or Cancel).
    void Find(const Choice& c, bool confirm = true) {
        WhileShown shown(FindF->Handle(), [&] {
            Fill(c);
            if (confirm)
                PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
            else
                SendMessageA(FindF->CancelBB, BM_CLICK, 0, 0);
        });
        Menu("EdFind");
        EXPECT_TRUE(shown.ran);
        EXPECT_FALSE(IsWindowVisible(FindF->Handle()));
    }

    // " line : column" of a position in kText, counted independently of the window.
    static std::string CaretPanel(int pos) {
        int line = 1, lineStart = 0;
        for (int i = 0; i < pos; ++i)
            if (kText[i] == '\n') ++line, lineStart = i + 1;
        char text[32];
        snprintf(text, sizeof text, " %d : %d", line, pos - lineStart + 1);
        return text;
    }
};

TEST_F(FindTest, DialogAsDesigned) {
    HWND dlg = FindF->Handle();
    EXPECT_EQ(Caption(dlg), "Find");
    EXPECT_FALSE(IsWindowVisible(dlg));
    ExpectFixedDialog(dlg, 301, 147);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(FindF->FindTextE, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -11);

    const struct {
        HWND hwnd;
        const char* caption;
        int left, top, width, height;
    } rows[] = {
        {FindF->Label1, "&Text to find", 8, 12, 53, 13},
        {FindF->OkBB, "OK", 131, 116, 75, 25},
        {FindF->CancelBB, "Cancel", 215, 116, 75, 25},
        {FindF->FindTextE, "", 71, 8, 215, 21},
        {FindF->GroupBox1, "Origin", 153, 39, 137, 70},
        {FindF->FromCursorRB, "From cursor", 153 + 14, 39 + 19, 84, 17},
        {FindF->EntrieScopeRB, "Entrie scope", 153 + 14, 39 + 40, 91, 17},
        {FindF->GroupBox2, "Options", 10, 39, 137, 70},
        {FindF->CaseSensCB, "Case sensitive", 10 + 14, 39 + 19, 97, 17},
        {FindF->WordsCB, "Whole words only", 10 + 14, 39 + 40, 113, 17},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.caption);
        EXPECT_EQ(Caption(r.hwnd), r.caption);
        RECT rc = ChildRect(r.hwnd);
        EXPECT_EQ(rc.left, r.left);
        EXPECT_EQ(rc.top, r.top);
        EXPECT_EQ(rc.right - rc.left, r.width);
        EXPECT_EQ(rc.bottom - rc.top, r.height);
    }
    EXPECT_EQ(GetDlgCtrlID(FindF->OkBB), IDOK);
    EXPECT_EQ(GetDlgCtrlID(FindF->CancelBB), IDCANCEL);
    EXPECT_EQ(GetWindowLongA(FindF->OkBB, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_TRUE(IsChecked(FindF->FromCursorRB));
    EXPECT_FALSE(IsChecked(FindF->EntrieScopeRB));
    EXPECT_FALSE(IsChecked(FindF->CaseSensCB));
    EXPECT_TRUE(IsChecked(FindF->WordsCB));
    EXPECT_EQ(FindF->TextToFind(), "");
    EXPECT_TRUE(FindF->FromCursor());
    EXPECT_TRUE(FindF->SearchOptions().WholeWord);
    EXPECT_FALSE(FindF->SearchOptions().MatchCase);
}

TEST_F(FindTest, ShownModallyAtTheMainWindowsTopRight) {
    // Wherever the main window is.
    SetWindowPos(QPadF->Handle(), nullptr, 37, 51, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT main;
    GetWindowRect(QPadF->Handle(), &main);
    std::vector<HWND> tabs;
    HWND afterMnemonic = nullptr;
    RECT placed{};
    bool mainEnabled = true;
    WhileShown shown(FindF->Handle(), [&] {
        GetWindowRect(FindF->Handle(), &placed);
        mainEnabled = IsWindowEnabled(QPadF->Handle());
        // Tab through the dialog as the dialog manager does.
        tabs.push_back(GetFocus());
        for (int i = 0; i < 6; ++i) {
            MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}};
            IsDialogMessageA(FindF->Handle(), &tab);
            tabs.push_back(GetFocus());
        }
        // Alt+T, the label's mnemonic, from the Cancel button.
        SetFocus(FindF->CancelBB);
        MSG alt{FindF->CancelBB, WM_SYSCHAR, 't', 1 << 29, 0, {0, 0}};
        IsDialogMessageA(FindF->Handle(), &alt);
        afterMnemonic = GetFocus();
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    Menu("EdFind");
    ASSERT_TRUE(shown.ran);
    EXPECT_EQ(placed.top, main.top + 3);
    EXPECT_EQ(placed.right, main.right - 3);
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(QPadF->Handle()));
    const std::vector<HWND> order = {FindF->FindTextE, FindF->FromCursorRB, FindF->CaseSensCB, FindF->WordsCB,
                                     FindF->OkBB,      FindF->CancelBB,     FindF->FindTextE};
    EXPECT_EQ(tabs, order);
    EXPECT_EQ(afterMnemonic, FindF->FindTextE);
}

TEST_F(FindTest, SearchesOfOneText) {
    const struct {
        const char* name;
        int selStart, selEnd;
        Choice choice;
        int found;  // -1: nothing happens
    } rows[] = {
        {"from the caret at the start", 0, 0, {}, 4},
        {"a match that starts at the caret", 4, 4, {}, 4},
        {"case ignored by default", 5, 5, {}, 16},
        {"case sensitive", 5, 5, {"count", false, true, true}, 32},
        {"whole words off: inside an identifier", 17, 17, {"count", false, true, false}, 22},
        {"whole words on: not inside an identifier", 17, 17, {}, 32},
        {"behind the selection, not the selection itself", 4, 9, {}, 16},
        {"entire scope with the caret further down", 40, 40, {"count", true}, 4},
        {"entire scope with a selection", 43, 48, {"count", true}, 4},
        {"a match that ends at the end of the text", 44, 44, {"COUNT", false, true}, 49},
        {"no match", 5, 5, {"missing"}, -1},
        {"a start at the end of the text", 54, 54, {"COUNT", false, true}, -1},
        {"behind the last match", 49, 54, {"COUNT"}, -1},
        {"an empty text", 5, 9, {""}, -1},
    };
    Load(kText);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Select(r.selStart, r.selEnd);
        const std::string panel = QPadF->PanelText(1);
        Find(r.choice);
        if (r.found < 0) {
            EXPECT_EQ(Selection(), std::make_pair(r.selStart, r.selEnd - r.selStart));
            EXPECT_EQ(QPadF->PanelText(1), panel);
        } else {
            EXPECT_EQ(Selection(), std::make_pair(r.found, static_cast<int>(strlen(r.choice.text))));
            EXPECT_EQ(QPadF->PanelText(1), CaretPanel(r.found));
        }
        EXPECT_TRUE(prompts.messages.empty());  // never a message
    }
}

TEST_F(FindTest, SearchAgainStepsThroughAndStopsQuietly) {
    Load(kText);
    Select(0, 0);
    Find({});
    EXPECT_EQ(Selection(), std::make_pair(4, 5));
    for (int next : {16, 32, 43, 49}) {
        Press(VK_F3);
        EXPECT_EQ(Selection(), std::make_pair(next, 5));
    }
    // Nothing more: the selection, the caret and the focus stay, no wrap to the start.
    SetFocus(QPadF->ErrorLB());
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(49, 5));
    EXPECT_EQ(GetFocus(), QPadF->ErrorLB());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FindTest, SearchAgainGoesOnFromTheCursorWhateverTheOrigin) {
    Load(kText);
    Select(40, 40);
    Find({"count", true});
    EXPECT_EQ(Selection(), std::make_pair(4, 5));
    EXPECT_FALSE(FindF->FromCursor());
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(16, 5));
    // The selection the user makes is where the next search starts.
    Select(33, 33);
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(43, 5));
}

TEST_F(FindTest, SearchAgainBeforeAnyTextDoesNothing) {
    Load(kText);
    Select(3, 3);
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(3, 0));
    EXPECT_FALSE(IsWindowVisible(FindF->Handle()));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FindTest, CancelKeepsWhatTheUserSet) {
    Load(kText);
    Select(5, 5);
    Find({"COUNT", true, true, false}, false);
    EXPECT_EQ(Selection(), std::make_pair(5, 0));  // no search on Cancel

    // The next Find shows it all again, the text selected in the focused field.
    std::string shownText;
    bool entire = false, matchCase = false, words = true;
    DWORD selEnd = 0;
    WhileShown shown(FindF->Handle(), [&] {
        EXPECT_EQ(GetFocus(), FindF->FindTextE);
        shownText = Caption(FindF->FindTextE);
        SendMessageA(FindF->FindTextE, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&selEnd));
        entire = IsChecked(FindF->EntrieScopeRB) && !IsChecked(FindF->FromCursorRB);
        matchCase = IsChecked(FindF->CaseSensCB);
        words = IsChecked(FindF->WordsCB);
        PostMessageA(FindF->Handle(), WM_CLOSE, 0, 0);  // the close box: Cancel too
    });
    Menu("EdFind");
    EXPECT_EQ(shownText, "COUNT");
    EXPECT_EQ(selEnd, 5u);
    EXPECT_TRUE(entire);
    EXPECT_TRUE(matchCase);
    EXPECT_FALSE(words);
    EXPECT_EQ(Selection(), std::make_pair(5, 0));

    // Search again uses the kept text and options.
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(49, 5));
}

TEST_F(FindTest, CtrlFAndTheToolBarButtonOpenTheDialog) {
    Load(kText);
    Select(0, 0);
    {
        WhileShown shown(FindF->Handle(), [] {
            Fill({"counter"});
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
        });
        Press('F', true);
        EXPECT_TRUE(shown.ran);
    }
    EXPECT_EQ(Selection(), std::make_pair(22, 7));
    {
        WhileShown shown(FindF->Handle(), [] { SendMessageA(FindF->OkBB, BM_CLICK, 0, 0); });
        const UINT id = QPadF->FindAction("EdFind")->id;
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(QPadF->ToolBar1()));
        EXPECT_TRUE(shown.ran);
    }
    EXPECT_EQ(Selection(), std::make_pair(22, 7));  // from behind the match: none further
}

TEST_F(FindTest, MatchFarDownIsScrolledIntoView) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "filler line\r\n";
    text += "target\r\n";
    Load(text);
    Select(0, 0);
    Find({"target"});
    const int line = static_cast<int>(SendMessageA(EditorWnd(), EM_LINEFROMCHAR, Editor().SelStart(), 0));
    EXPECT_EQ(line, 2000);
    const int first = static_cast<int>(SendMessageA(EditorWnd(), EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_LE(first, line);
    EXPECT_GT(first, line - 60);  // the editor shows far fewer lines than that
}

}  // namespace

// The program makes the dialog at the first Find, not at its start: Search
// again before then finds nothing and makes nothing; the dialog Find makes is
// the main window's, and the next Search again goes on with its text.
TEST_F(FindTest, DialogMadeByTheFirstFind) {
    delete FindF;
    FindF = nullptr;
    Load(kText);
    Select(0, 0);
    Press(VK_F3);
    EXPECT_EQ(FindF, nullptr);
    EXPECT_EQ(Selection(), std::make_pair(0, 0));

    HWND owner = nullptr;
    WhileShown shown([] { return FindF ? FindF->Handle() : nullptr; }, [&] {
        owner = GetWindow(FindF->Handle(), GW_OWNER);
        Fill({"count"});
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 1);
    });
    Menu("EdFind");
    ASSERT_TRUE(shown.ran);
    EXPECT_EQ(owner, QPadF->Handle());
    EXPECT_EQ(Selection(), std::make_pair(4, 5));
    Press(VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(16, 5));
}

// Find and Replace read their text and option boxes alike; the replacement in
// UTF-16, with a letter no ANSI code page of the tests holds.
TEST(SearchFields, BothDialogsReadTheirBoxes) {
    TFindF find(nullptr);
    TReplaceF replace(nullptr);
    const struct {
        bool matchCase, wholeWord;
    } rows[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    const TSearchFields* const dialogs[] = {&find, &replace};
    for (const TSearchFields* fields : dialogs) {
        SetWindowTextA(fields->FindTextE, "count = 0");
        EXPECT_EQ(fields->TextToFind(), "count = 0");
        for (const auto& r : rows) {
            SCOPED_TRACE(std::to_string(r.matchCase) + std::to_string(r.wholeWord));
            SetChecked(fields->CaseSensCB, r.matchCase);
            SetChecked(fields->WordsCB, r.wholeWord);
            EXPECT_EQ(fields->SearchOptions().MatchCase, r.matchCase);
            EXPECT_EQ(fields->SearchOptions().WholeWord, r.wholeWord);
        }
    }
    SetWindowTextW(replace.ReplaceTextE, L"\u03A9mega");
    EXPECT_EQ(replace.ReplaceWith(), u"\u03A9mega");
}
