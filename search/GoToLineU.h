#pragma once
// The go-to-line dialog: shows how many lines the text has and takes a line
// number in that range; OK with anything else keeps the dialog open.
#include <windows.h>

#include "ModalForm.h"

class TGoToLineF : public TModalForm {
public:
    explicit TGoToLineF(HWND owner);

    // Shows the dialog for a text of lineCount lines, proposing current (both from 1).
    // The chosen line, or 0 when cancelled.
    int Ask(int lineCount, int current);

    HWND LineLabel, LineE, OkBB, CancelBB;

protected:
    void FormShow() override;
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    int Value() const;
    int lineCount_ = 1;
};

extern TGoToLineF* GoToLineF;
