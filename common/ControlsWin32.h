#pragma once
// Small helpers over standard controls and windows, used by every window of
// the program instead of copies of their own.
#include <windows.h>

#include <string>

// A control's text in the ANSI code page; empty when it has none.
std::string ControlText(HWND control);
// The same in UTF-16, for text the code page may not hold.
std::wstring ControlTextW(HWND control);

// A check box's state.
bool IsChecked(HWND button);
void SetChecked(HWND button, bool checked);

// A list box item's text; empty past the end of the list.
std::string ListItemText(HWND list, int index);

// Puts a dialog at its owner's top-right corner, clear of its frame.
void PlaceAtOwnerTopRight(HWND dialog, HWND owner);
// Centres a dialog over its owner, or over the work area when there is none.
void CentreOnOwner(HWND dialog, HWND owner);

// The object a window was created for (CreateWindowEx's last argument): kept
// in the window's user data from WM_NCCREATE on, null before then.
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
