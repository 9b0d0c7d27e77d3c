#include "ModalForm.h"

namespace {

// An empty dialog template: the dialog manager gives the form its keyboard
// handling (Tab, Enter for the default button, Esc, mnemonics) and the controls
// are then placed in pixels rather than in dialog units.
struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu, windowClass, title;
};

const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
const DWORD kExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

TModalForm::TModalForm(HWND owner, const char* caption, int clientWidth, int clientHeight) {
    font_ = MakeFont(11);
    EmptyTemplate t = {};
    t.head.style = kStyle;
    t.head.dwExtendedStyle = kExStyle;
    hwnd_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &t.head, owner, &DialogProc,
                                       reinterpret_cast<LPARAM>(this));
    SetWindowTextA(hwnd_, caption);
    RECT rc{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&rc, kStyle, FALSE, kExStyle);
    SetWindowPos(hwnd_, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

TModalForm::~TModalForm() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

HFONT TModalForm::MakeFont(int height, bool bold, bool underline) {
    HFONT f = CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                          "MS Sans Serif");
    fonts_.emplace_back(f);
    return f;
}

HWND TModalForm::AddControl(const char* windowClass, const char* text, DWORD style, int id, int left, int top,
                            int width, int height, HFONT font, DWORD exStyle) {
    HWND c = CreateWindowExA(exStyle, windowClass, text, WS_CHILD | WS_VISIBLE | style, left, top, width, height, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : font_), FALSE);
    return c;
}

void TModalForm::SetPosition(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TModalForm::CenterOnScreen() {
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    SetPosition((GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
}

int TModalForm::ShowModal() {
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    result_ = 0;
    ShowWindow(hwnd_, SW_SHOW);
    FormShow();
    bool quit = false;
    WPARAM quitCode = 0;
    while (result_ == 0) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is ending: leave WM_QUIT for the main loop.
            quit = got == 0;
            quitCode = msg.wParam;
            result_ = IDCANCEL;
            break;
        }
        if (!IsDialogMessageA(hwnd_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // The owner first, so that it is the window activated when the form hides.
    if (disableOwner) EnableWindow(owner, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result_;
}

bool TModalForm::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR CALLBACK TModalForm::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        return FALSE;  // the focus is the form's own business, at FormShow
    }
    auto* self = reinterpret_cast<TModalForm*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (!self) return FALSE;
    LRESULT result = 0;
    if (self->HandleMessage(msg, wParam, lParam, result)) {
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    switch (msg) {
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == BN_CLICKED) {
            self->Close(LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        self->Close(IDCANCEL);
        return TRUE;
    }
    return FALSE;
}
