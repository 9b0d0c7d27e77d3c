#pragma once
// The find dialog. For now the window exists, hidden; searching comes later.
#include <windows.h>

class TFindF {
public:
    explicit TFindF(HWND owner);
    ~TFindF();
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

extern TFindF* FindF;
