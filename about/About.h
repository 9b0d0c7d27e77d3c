#pragma once
// The about box. For now the window exists, hidden; its contents come later.
#include <windows.h>

class TAboutBox {
public:
    explicit TAboutBox(HWND owner);
    ~TAboutBox();
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

extern TAboutBox* AboutBox;
