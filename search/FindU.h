#pragma once
// The find dialog: the text to find, where to start, and the two options.
// Created once and kept, so the next Find or Search again uses what the user
// left in it, even after Cancel.
#include <windows.h>

#include <string>

#include "ModalForm.h"
#include "RichEditQX.h"

class TFindF : public TModalForm {
public:
    explicit TFindF(HWND owner);

    std::string TextToFind() const;
    bool FromCursor() const;
    TSearchTypes SearchOptions() const;

    // Components, in the form's order.
    HWND Label1, OkBB, CancelBB, FindTextE;
    HWND GroupBox1, FromCursorRB, EntrieScopeRB;
    HWND GroupBox2, CaseSensCB, WordsCB;

protected:
    void FormShow() override;
};

extern TFindF* FindF;
