#include "About.h"

#include <shellapi.h>

#include "ControlsWin32.h"
#include "LateBoundWin32.h"
#include "ScopedWin32.h"

namespace {
HINSTANCE WINAPI ShellExecuteLate(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR dir, INT show) {
    return LATE_BOUND(ShellExecuteA, kShellDll)(owner, verb, file, parameters, dir, show);
}
}  // namespace

TAboutBox* AboutBox = nullptr;
TShellExecuteA ShellExecuteProc = &ShellExecuteLate;

const char TAboutBox::kAuthorMail[] = "mailto:quillpad@example.org";
const char TAboutBox::kAuthorWeb[] = "www.example.org";
const char TAboutBox::kSourcesWeb[] = "www.example.org/quillpad/";

namespace {

enum : int {
    idPanel = 100,
    idIcon,
    idProduct,
    idVersion,
    idAuthorLabel,
    idAuthor,
    idMail,
    idWeb,
    idSourcesLabel,
    idSources,
    idDate,
};

const char kAuthorName[] = "The Quillpad team";
const COLORREF kLinkColor = RGB(0, 0, 128);  // navy

}  // namespace

TAboutBox::TAboutBox(HWND owner, const std::string& title) : TModalForm(owner, "About", 240, 235) {
    linkFont_ = MakeFont(11, false, true);
    // The design-time texts; FormCreate replaces the four that it sets.
    ProgramIcon = AddControl("STATIC", "", SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE, idIcon, 16, 16, 34, 34);
    ProductName = AddControl("STATIC", "Product Name", SS_LEFT | SS_NOPREFIX, idProduct, 60, 18, 96, 20,
                             MakeFont(16, true));
    VersionL = AddControl("STATIC", "Version", SS_LEFT | SS_NOPREFIX, idVersion, 160, 24, 60, 13);
    Label1 = AddControl("STATIC", "Author:", SS_LEFT, idAuthorLabel, 16, 60, 60, 13);
    Label2 = AddControl("STATIC", kAuthorName, SS_LEFT | SS_NOPREFIX, idAuthor, 16, 75, 208, 16, MakeFont(13, true));
    // Flat link buttons: drawn by us, never a tab stop, like speed buttons.
    SpeedButton1 = AddControl("BUTTON", kAuthorMail + 7, BS_OWNERDRAW, idMail, 16, 94, 208, 18, linkFont_);
    SpeedButton2 = AddControl("BUTTON", kAuthorWeb, BS_OWNERDRAW, idWeb, 16, 113, 208, 18, linkFont_);
    Label4 = AddControl("STATIC", "Quillpad source codes are available at", SS_CENTER | SS_NOPREFIX, idSourcesLabel,
                        16, 138, 208, 13);
    SpeedButton3 = AddControl("BUTTON", kSourcesWeb, BS_OWNERDRAW, idSources, 16, 153, 208, 18, linkFont_);
    DateL = AddControl("STATIC", "Date", SS_RIGHT | SS_NOPREFIX, idDate, 124, 178, 100, 13);
    // The panel's frame lies under everything it holds.
    Panel1 = AddControl("STATIC", "", SS_SUNKEN | WS_CLIPSIBLINGS, idPanel, 8, 8, 224, 189);
    SetWindowPos(Panel1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    BitBtn1 = AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 82, 204, 75, 25);
    SendMessageA(Handle(), DM_SETDEFID, IDOK, 0);
    FormCreate(title);
    CenterOnScreen();
}

void TAboutBox::FormCreate(const std::string& title) {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    LRESULT icon = owner ? SendMessageA(owner, WM_GETICON, ICON_BIG, 0) : 0;
    SendMessageA(ProgramIcon, STM_SETICON, static_cast<WPARAM>(icon), 0);
    SetWindowTextA(ProductName, title.c_str());
    SetWindowTextA(VersionL, "v1.12");
    SetWindowTextA(DateL, "March, 2002");
}

void TAboutBox::FormShow() {
    CenterOnScreen();
    SetFocus(BitBtn1);
}

// One call each, the result not looked at: a target the shell cannot open is
// the shell's to report.
void TAboutBox::SpeedButton1Click() { ShellExecuteProc(nullptr, nullptr, kAuthorMail, nullptr, nullptr, SW_SHOWNORMAL); }
void TAboutBox::SpeedButton2Click() { ShellExecuteProc(nullptr, nullptr, kAuthorWeb, nullptr, nullptr, SW_SHOWNORMAL); }
void TAboutBox::SpeedButton3Click() { ShellExecuteProc(nullptr, nullptr, kSourcesWeb, nullptr, nullptr, SW_SHOWNORMAL); }

bool TAboutBox::IsLink(HWND control) const {
    return control && (control == SpeedButton1 || control == SpeedButton2 || control == SpeedButton3);
}

void TAboutBox::DrawLink(const DRAWITEMSTRUCT& item) {
    RECT rc = item.rcItem;
    FillRect(item.hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed) {
        DrawEdge(item.hDC, &rc, BDR_SUNKENOUTER, BF_RECT);
        OffsetRect(&rc, 1, 1);
    }
    const std::string text = ControlText(item.hwndItem);
    ScopedSelect font(item.hDC, linkFont_);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, kLinkColor);
    DrawTextA(item.hDC, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool TAboutBox::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED) return false;
        HWND from = reinterpret_cast<HWND>(lParam);
        if (from && from == SpeedButton1)
            SpeedButton1Click();
        else if (from && from == SpeedButton2)
            SpeedButton2Click();
        else if (from && from == SpeedButton3)
            SpeedButton3Click();
        else
            return false;
        result = 0;
        return true;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!IsLink(item->hwndItem)) return false;
        DrawLink(*item);
        result = TRUE;
        return true;
    }
    case WM_SETCURSOR:
        if (!IsLink(reinterpret_cast<HWND>(wParam)) || LOWORD(lParam) != HTCLIENT) return false;
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        result = TRUE;
        return true;
    }
    return false;
}
