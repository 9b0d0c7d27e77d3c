// The tool bar clicked as the user clicks it: the button's own WM_COMMAND must
// run the same command as the menu item, and a disabled button must do nothing.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <functional>

#include "MainWindowFixture.h"

namespace {

class ToolBarTest : public MainWindowTest {
protected:
    struct Sent {
        UINT id;
        HWND from;
    };
    std::vector<Sent> commands;  // every WM_COMMAND the main window got from the tool bar

    void SetUp() override {
        MainWindowTest::SetUp();
        SetWindowSubclass(QPadF->Handle(), &Spy, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    void TearDown() override {
        RemoveWindowSubclass(QPadF->Handle(), &Spy, 1);
        MainWindowTest::TearDown();
    }
    static LRESULT CALLBACK Spy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
        auto* test = reinterpret_cast<ToolBarTest*>(self);
        if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == test->QPadF_ToolBar())
            test->commands.push_back({LOWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    HWND QPadF_ToolBar() const { return QPadF->ToolBar1(); }

    // A left click in the middle of the action's button.
    void Click(const char* action) {
        const UINT id = QPadF->FindAction(action)->id;
        const LRESULT index = SendMessageA(QPadF->ToolBar1(), TB_COMMANDTOINDEX, id, 0);
        ASSERT_GE(index, 0) << action << " has no button";
        RECT rc;
        ASSERT_TRUE(SendMessageA(QPadF->ToolBar1(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc)));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageA(QPadF->ToolBar1(), WM_MOUSEMOVE, 0, at);
        SendMessageA(QPadF->ToolBar1(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(QPadF->ToolBar1(), WM_LBUTTONUP, 0, at);
        ProcessMessages();
    }

    static std::string ClipboardText() {
        std::string text;
        if (!OpenClipboard(nullptr)) return "<no clipboard>";
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            text = static_cast<const char*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
        return text;
    }
    static void SetClipboardText(const char* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        const std::size_t n = std::strlen(text) + 1;
        HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, n);
        std::memcpy(GlobalLock(g), text, n);
        GlobalUnlock(g);
        SetClipboardData(CF_TEXT, g);
        CloseClipboard();
    }
};

TEST_F(ToolBarTest, EveryEnabledButtonRunsItsCommand) {
    struct Case {
        const char* action;
        std::function<void()> before;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"FileNew1",
         [this] {
             Type("class A {}");
             prompts.messageAnswers.push_back(IDNO);  // "Save changes ...?": discard
         },
         [this] {
             ASSERT_EQ(prompts.messages.size(), 1u);
             EXPECT_EQ(prompts.messages[0].text, "Save changes to Untitled.java?");
             EXPECT_EQ(Editor().Text(), "");
         }},
        {"FileOpen1", [this] { prompts.fileAnswers.push_back(""); },
         [this] {
             ASSERT_EQ(prompts.fileDialogs.size(), 1u);
             EXPECT_FALSE(prompts.fileDialogs[0].save);
         }},
        {"FileSave1", [this] { prompts.fileAnswers.push_back(""); },
         [this] {
             ASSERT_EQ(prompts.fileDialogs.size(), 1u);  // untitled: Save As asks for a name
             EXPECT_TRUE(prompts.fileDialogs[0].save);
         }},
        {"EditUndo1", [this] { Type("ab"); },
         [this] { EXPECT_NE(Editor().Text(), "ab"); }},
        {"EditCut1",
         [this] {
             Type("cut me");
             Editor().SetSel(0, 3);
         },
         [this] {
             EXPECT_EQ(Editor().Text(), " me");
             EXPECT_EQ(ClipboardText(), "cut");
         }},
        {"EditCopy1",
         [this] {
             Type("copy me");
             Editor().SetSel(5, 7);
         },
         [this] {
             EXPECT_EQ(Editor().Text(), "copy me");
             EXPECT_EQ(ClipboardText(), "me");
         }},
        {"EditPaste1", [] { SetClipboardText("pasted"); },
         [this] { EXPECT_EQ(Editor().Text(), "pasted"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        // Each case starts from an unmodified, empty text with the editor focused.
        Editor().SetText("");
        Editor().SetModified(false);
        Editor().SetFocus();
        prompts.messages.clear();
        prompts.fileDialogs.clear();
        commands.clear();
        c.before();
        QPadF->Idle();  // what the message loop does before the user can click
        ASSERT_TRUE(ButtonEnabled(c.action));
        Click(c.action);
        ASSERT_EQ(commands.size(), 1u);
        EXPECT_EQ(commands[0].id, QPadF->FindAction(c.action)->id);
        c.check();
    }
}

TEST_F(ToolBarTest, DisabledButtonsSendNothing) {
    Editor().SetText("class A {}");
    Editor().SetSel(0, 0);
    QPadF->Idle();
    for (const char* action : {"CodeRun", "CodeRunApplet", "EditCut1", "EditCopy1"}) {
        SCOPED_TRACE(action);
        ASSERT_FALSE(ButtonEnabled(action));
        commands.clear();
        Click(action);
        EXPECT_TRUE(commands.empty());
        EXPECT_EQ(Editor().Text(), "class A {}");
    }
}

// The task bar and Alt+Tab show the application title, not the caption: the
// main window is owned by an application window that carries the button.
TEST_F(MainWindowTest, TaskBarEntryIsTheApplicationTitle) {
    HWND owner = GetWindow(QPadF->Handle(), GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner, ApplicationWindow());
    EXPECT_EQ(Caption(owner), "Quillpad");
    EXPECT_TRUE(IsWindowVisible(owner));
    EXPECT_FALSE(GetWindowLongPtrA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongPtrA(QPadF->Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT rc;
    GetWindowRect(owner, &rc);
    EXPECT_EQ(rc.right - rc.left, 0);
    EXPECT_EQ(rc.bottom - rc.top, 0);
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Untitled.java");
    // Closing from the task bar closes the main window, with its question.
    Type("x");
    prompts.messageAnswers.push_back(IDCANCEL);
    SendMessageA(owner, WM_CLOSE, 0, 0);
    ProcessMessages();
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(IsWindow(QPadF->Handle()));
}

}  // namespace
