#pragma once
// The replace dialog: what to find, what to put in its place, match case and
// whole word; Find Next, Replace and Replace All act on the editor while it is
// open, Close ends it. Created once and kept, like the find dialog.
#include <windows.h>

#include <functional>
#include <string>

#include "ModalForm.h"
#include "SearchFieldsWin32.h"

class TReplaceF : public TModalForm, public TSearchFields {
public:
    enum Command { FindNext = 1, ReplaceOne, ReplaceEvery };

    explicit TReplaceF(HWND owner);

    std::u16string ReplaceWith() const;

    // What the buttons other than Close do.
    std::function<void(Command)> OnCommand;

    // Components, in the form's order; of the search fields', the text comes
    // after FindLabel and the option boxes after ReplaceTextE.
    HWND FindLabel, ReplaceLabel, ReplaceTextE;
    HWND FindNextBB, ReplaceBB, ReplaceAllBB, CloseBB;

protected:
    void FormShow() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

extern TReplaceF* ReplaceF;
