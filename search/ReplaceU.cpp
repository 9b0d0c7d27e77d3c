#include "ReplaceU.h"

#include "ControlsWin32.h"

TReplaceF* ReplaceF = nullptr;

namespace {

enum : int {
    idFindNext = 200,
    idReplace,
    idReplaceAll,
    idFindLabel,
    idFindText,
    idReplaceLabel,
    idReplaceText,
    idCaseSens,
    idWords,
};

}  // namespace

TReplaceF::TReplaceF(HWND owner) : TModalForm(owner, "Replace", 356, 124) {
    // Creation order is the tab order; each label just before its field, so that
    // its mnemonic moves the focus there.
    FindLabel = AddControl("STATIC", "Fi&nd what:", SS_LEFTNOWORDWRAP, idFindLabel, 8, 12, 70, 13);
    FindTextE = AddControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, idFindText, 82, 8, 180, 21, nullptr,
                           WS_EX_CLIENTEDGE);
    ReplaceLabel = AddControl("STATIC", "Re&place with:", SS_LEFTNOWORDWRAP, idReplaceLabel, 8, 40, 70, 13);
    ReplaceTextE = AddControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, idReplaceText, 82, 36, 180, 21, nullptr,
                              WS_EX_CLIENTEDGE);
    CaseSensCB = AddControl("BUTTON", "Match &case", WS_TABSTOP | BS_AUTOCHECKBOX, idCaseSens, 8, 72, 150, 17);
    WordsCB = AddControl("BUTTON", "Match &whole word only", WS_TABSTOP | BS_AUTOCHECKBOX, idWords, 8, 94, 150, 17);
    FindNextBB = AddControl("BUTTON", "&Find Next", WS_TABSTOP | BS_DEFPUSHBUTTON, idFindNext, 273, 8, 75, 25);
    ReplaceBB = AddControl("BUTTON", "&Replace", WS_TABSTOP | BS_PUSHBUTTON, idReplace, 273, 36, 75, 25);
    ReplaceAllBB = AddControl("BUTTON", "Replace &All", WS_TABSTOP | BS_PUSHBUTTON, idReplaceAll, 273, 64, 75, 25);
    CloseBB = AddControl("BUTTON", "Close", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 273, 92, 75, 25);
    SendMessageA(Handle(), DM_SETDEFID, idFindNext, 0);
}

void TReplaceF::FormShow() { FocusTextToFind(); }

bool TReplaceF::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    if (msg != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    Command command;
    switch (LOWORD(wParam)) {
    case idFindNext: command = FindNext; break;
    case idReplace: command = ReplaceOne; break;
    case idReplaceAll: command = ReplaceEvery; break;
    default: return false;
    }
    if (OnCommand) OnCommand(command);
    result = 0;
    return true;
}

// Read in UTF-16: the replacement may hold letters the ANSI code page lacks.
std::u16string TReplaceF::ReplaceWith() const {
    const std::wstring text = ControlTextW(ReplaceTextE);
    return std::u16string(text.begin(), text.end());
}
