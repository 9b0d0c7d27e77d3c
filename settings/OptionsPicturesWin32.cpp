// The options dialog's picture buttons: their icons from the program's
// resources, and the small ones that keep the focus away.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "OptionsDialogWin32.h"
#include "OptionsU.h"

namespace options_dialog {

HICON LoadPicture(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    const auto* file = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    // An .ico file: a 6-byte header, then a 16-byte entry for each image, whose
    // last two fields are the image's size and where it starts.
    if (!file || size < 22) return nullptr;
    DWORD bytes = 0, offset = 0;
    std::memcpy(&bytes, file + 14, sizeof bytes);
    std::memcpy(&offset, file + 18, sizeof offset);
    if (offset > size || bytes > size - offset) return nullptr;
    return CreateIconFromResourceEx(const_cast<BYTE*>(file + offset), bytes, TRUE, 0x00030000, 16, 16,
                                    LR_DEFAULTCOLOR);
}

}  // namespace options_dialog

namespace {

// A click gives a push button the focus, and a focused push button is what Enter
// presses: the picture buttons hand the focus straight back, so Enter keeps
// meaning OK after one of them opened its picker.
LRESULT CALLBACK NoFocusButtonProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_SETFOCUS) {
        HWND previous = reinterpret_cast<HWND>(wParam);
        if (previous && previous != wnd && IsWindow(previous)) {
            SetFocus(previous);
            return 0;
        }
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, &NoFocusButtonProc, 1);
    }
    return DefSubclassProc(wnd, msg, wParam, lParam);
}

}  // namespace

// The picture sits at the left end of the button, over its face, in a picture
// control of its own that lets the clicks through to the button (the button
// keeps its text, its default state and its keyboard behaviour). The icons live
// as long as the dialog.
void TOptionsF::AddPicture(HWND button, int pictureId) {
    pictures_.emplace_back(options_dialog::LoadPicture(pictureId));
    HICON icon = pictures_.back().Get();
    RECT rc;
    GetClientRect(button, &rc);
    SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | WS_CLIPCHILDREN);
    HWND shown = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, 5, (rc.bottom - 16) / 2, 16, 16,
                                 button, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(shown, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TOptionsF::KeepFocusAway(HWND button) { SetWindowSubclass(button, &NoFocusButtonProc, 1, 0); }
