#include "ControlsWin32.h"

std::string ControlText(HWND control) {
    int n = GetWindowTextLengthA(control);
    if (n <= 0) return {};
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    n = GetWindowTextA(control, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

std::wstring ControlTextW(HWND control) {
    int n = GetWindowTextLengthW(control);
    if (n <= 0) return {};
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(control, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string ListItemText(HWND list, int index) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

namespace {
void MoveTo(HWND window, int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

void PlaceAtOwnerTopRight(HWND dialog, HWND owner) {
    RECT main, box;
    if (!GetWindowRect(owner, &main) || !GetWindowRect(dialog, &box)) return;
    MoveTo(dialog, main.right - (box.right - box.left) - 3, main.top + 3);
}

void CentreOnOwner(HWND dialog, HWND owner) {
    RECT box, area;
    if (!GetWindowRect(dialog, &box)) return;
    if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    MoveTo(dialog, (area.left + area.right - (box.right - box.left)) / 2,
           (area.top + area.bottom - (box.bottom - box.top)) / 2);
}
