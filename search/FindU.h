#pragma once
// The find dialog: the text to find, where to start, and the two options.
// Created once and kept, so the next Find or Search again uses what the user
// left in it, even after Cancel.
#include <windows.h>

#include "ModalForm.h"
#include "SearchFieldsWin32.h"

class TFindF : public TModalForm, public TSearchFields {
public:
    explicit TFindF(HWND owner);

    bool FromCursor() const;

    // Components, in the form's order; of the search fields', the text comes
    // after CancelBB and the option boxes in GroupBox2.
    HWND Label1, OkBB, CancelBB;
    HWND GroupBox1, FromCursorRB, EntrieScopeRB;
    HWND GroupBox2;

protected:
    void FormShow() override;
};

extern TFindF* FindF;
