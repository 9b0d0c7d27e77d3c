// The about box as Help, About shows it: its texts, size and place, and the
// three link buttons handing their targets to the (recorded) shell.
#include <windows.h>

#include <string>
#include <vector>

#include "About.h"
#include "FixedDialog.h"
#include "MainWindowFixture.h"
#include "WhileShown.h"

namespace {

struct ShellCall {
    HWND owner;
    bool hasVerb, hasParameters, hasDirectory;
    std::string target;
    INT show;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI RecordShellCall(HWND owner, LPCSTR verb, LPCSTR target, LPCSTR parameters, LPCSTR directory,
                                 INT show) {
    shellCalls.push_back({owner, verb != nullptr, parameters != nullptr, directory != nullptr,
                          target ? target : "<null>", show});
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(2));  // "file not found": never looked at
}

class AboutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        AboutBox = new TAboutBox(QPadF->Handle(), ApplicationTitle);
        shellCalls.clear();
        realShell_ = ShellExecuteProc;
        ShellExecuteProc = &RecordShellCall;
    }
    void TearDown() override {
        ShellExecuteProc = realShell_;
        if (AboutBox != QPadF->OwnAboutBox()) delete AboutBox;  // the one the window made is the window's
        MainWindowTest::TearDown();
    }

private:
    TShellExecuteA realShell_ = nullptr;
};

TEST_F(AboutTest, TextsSizeAndPlace) {
    HWND box = AboutBox->Handle();
    EXPECT_EQ(Caption(box), "About");
    const struct {
        HWND hwnd;
        const char* text;
    } texts[] = {
        {AboutBox->ProductName, "Quillpad"},
        {AboutBox->VersionL, "v1.12"},
        {AboutBox->Label1, "Author:"},
        {AboutBox->Label4, "Quillpad source codes are available at"},
        {AboutBox->DateL, "March, 2002"},
        {AboutBox->BitBtn1, "OK"},
        // The link buttons show what they open.
        {AboutBox->SpeedButton1, "quillpad@example.org"},
        {AboutBox->SpeedButton2, "www.example.org"},
        {AboutBox->SpeedButton3, "www.example.org/quillpad/"},
    };
    for (const auto& t : texts) EXPECT_EQ(Caption(t.hwnd), t.text);
    EXPECT_FALSE(Caption(AboutBox->Label2).empty());
    EXPECT_EQ(GetDlgCtrlID(AboutBox->BitBtn1), IDOK);

    ExpectFixedDialog(box, 240, 235);
    RECT window;
    GetWindowRect(box, &window);
    EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // The program's own icon; the bold title in 16 pixels.
    HICON icon = reinterpret_cast<HICON>(SendMessageA(AboutBox->ProgramIcon, STM_GETICON, 0, 0));
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageA(QPadF->Handle(), WM_GETICON, ICON_BIG, 0)));
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(AboutBox->ProductName, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_GE(font.lfWeight, FW_BOLD);
    // Everything but the OK button lies on the panel.
    RECT panel, ok;
    GetWindowRect(AboutBox->Panel1, &panel);
    GetWindowRect(AboutBox->BitBtn1, &ok);
    for (HWND c : {AboutBox->ProgramIcon, AboutBox->ProductName, AboutBox->VersionL, AboutBox->Label2,
                   AboutBox->SpeedButton3, AboutBox->DateL}) {
        RECT rc, both;
        GetWindowRect(c, &rc);
        UnionRect(&both, &panel, &rc);
        EXPECT_TRUE(EqualRect(&both, &panel)) << Caption(c);
    }
    EXPECT_GE(ok.top, panel.bottom);
}

TEST_F(AboutTest, LinksGoToTheShellAndTheBoxStaysOpen) {
    bool ownerDisabled = false, openAfterLinks = false;
    HCURSOR overLink = nullptr;
    WhileShown shown(AboutBox->Handle(), [&] {
        ownerDisabled = !IsWindowEnabled(QPadF->Handle());
        for (HWND link : {AboutBox->SpeedButton1, AboutBox->SpeedButton2, AboutBox->SpeedButton3})
            SendMessageA(link, BM_CLICK, 0, 0);
        openAfterLinks = IsWindowVisible(AboutBox->Handle());
        SendMessageA(AboutBox->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(AboutBox->SpeedButton2),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        overLink = GetCursor();
        SendMessageA(AboutBox->BitBtn1, BM_CLICK, 0, 0);
    });
    SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction("HelpAbout1")->id, 0), 0);
    ASSERT_TRUE(shown.ran);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(openAfterLinks);
    EXPECT_FALSE(IsWindowVisible(AboutBox->Handle()));
    EXPECT_TRUE(IsWindowEnabled(QPadF->Handle()));
    EXPECT_EQ(overLink, LoadCursor(nullptr, IDC_HAND));

    const char* targets[] = {"mailto:quillpad@example.org", "www.example.org", "www.example.org/quillpad/"};
    ASSERT_EQ(shellCalls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(targets[i]);
        EXPECT_EQ(shellCalls[i].owner, nullptr);
        EXPECT_FALSE(shellCalls[i].hasVerb);
        EXPECT_EQ(shellCalls[i].target, targets[i]);
        EXPECT_FALSE(shellCalls[i].hasParameters);
        EXPECT_FALSE(shellCalls[i].hasDirectory);
        EXPECT_EQ(shellCalls[i].show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AboutTest, ShownAgainAfterTheCloseBox) {
    for (int i = 0; i < 2; ++i) {
        WhileShown shown(AboutBox->Handle(), [] { PostMessageA(AboutBox->Handle(), WM_CLOSE, 0, 0); });
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction("HelpAbout1")->id, 0), 0);
        EXPECT_TRUE(shown.ran);
        EXPECT_FALSE(IsWindowVisible(AboutBox->Handle()));
    }
    EXPECT_TRUE(shellCalls.empty());
}

// The program makes the box at the first Help/About, over the main window and with its icon.
TEST_F(AboutTest, MadeByTheFirstAbout) {
    delete AboutBox;
    AboutBox = nullptr;
    HWND owner = nullptr;
    HICON icon = nullptr;
    WhileShown shown([] { return AboutBox ? AboutBox->Handle() : nullptr; }, [&] {
        owner = GetWindow(AboutBox->Handle(), GW_OWNER);
        icon = reinterpret_cast<HICON>(SendMessageA(AboutBox->ProgramIcon, STM_GETICON, 0, 0));
        SendMessageA(AboutBox->BitBtn1, BM_CLICK, 0, 0);
    });
    SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction("HelpAbout1")->id, 0), 0);
    ASSERT_TRUE(shown.ran);
    EXPECT_EQ(owner, QPadF->Handle());
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(icon, reinterpret_cast<HICON>(SendMessageA(QPadF->Handle(), WM_GETICON, ICON_BIG, 0)));
    EXPECT_EQ(Caption(AboutBox->ProductName), "Quillpad");
}

}  // namespace
