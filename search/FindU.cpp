#include "FindU.h"

TFindF* FindF = nullptr;

TFindF::TFindF(HWND owner) {
    hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Find", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 300,
                            120, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TFindF::~TFindF() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (FindF == this) FindF = nullptr;
}
