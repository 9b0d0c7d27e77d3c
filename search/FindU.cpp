#include "FindU.h"

#include "ControlsWin32.h"

TFindF* FindF = nullptr;

namespace {

enum : int {
    idFindText = 100,
    idLabel,
    idOrigin,
    idFromCursor,
    idEntireScope,
    idOptions,
    idCaseSens,
    idWords,
};

}  // namespace

TFindF::TFindF(HWND owner) : TModalForm(owner, "Find", 301, 147) {
    // Creation order is the tab order: OK, Cancel, the text, the origin group,
    // the options group. The label sits just before the edit field, so that its
    // mnemonic moves the focus there. The buttons of a group box are the dialog's
    // own children, placed over the box (a group box passes no notifications on).
    OkBB = AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 131, 116, 75, 25);
    CancelBB = AddControl("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 215, 116, 75, 25);
    Label1 = AddControl("STATIC", "&Text to find", SS_LEFTNOWORDWRAP, idLabel, 8, 12, 53, 13);
    FindTextE = AddControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, idFindText, 71, 8, 215, 21, nullptr,
                           WS_EX_CLIENTEDGE);

    const int g1x = 153, g2x = 10, gy = 39;
    GroupBox1 = AddControl("BUTTON", "Origin", WS_GROUP | BS_GROUPBOX, idOrigin, g1x, gy, 137, 70);
    FromCursorRB = AddControl("BUTTON", "From cursor", WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, idFromCursor,
                              g1x + 14, gy + 19, 84, 17);
    EntrieScopeRB = AddControl("BUTTON", "Entrie scope", BS_AUTORADIOBUTTON, idEntireScope, g1x + 14, gy + 40, 91, 17);
    GroupBox2 = AddControl("BUTTON", "Options", WS_GROUP | BS_GROUPBOX, idOptions, g2x, gy, 137, 70);
    CaseSensCB = AddControl("BUTTON", "Case sensitive", WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX, idCaseSens,
                            g2x + 14, gy + 19, 97, 17);
    WordsCB = AddControl("BUTTON", "Whole words only", WS_TABSTOP | BS_AUTOCHECKBOX, idWords, g2x + 14, gy + 40, 113, 17);

    SendMessageA(Handle(), DM_SETDEFID, IDOK, 0);
    SendMessageA(FromCursorRB, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(WordsCB, BM_SETCHECK, BST_CHECKED, 0);
}

void TFindF::FormShow() { FocusTextToFind(); }

bool TFindF::FromCursor() const { return IsChecked(FromCursorRB); }
