#include "About.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(HWND owner) {
    hwnd_ = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "About", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0,
                            300, 200, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
}

TAboutBox::~TAboutBox() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (AboutBox == this) AboutBox = nullptr;
}
