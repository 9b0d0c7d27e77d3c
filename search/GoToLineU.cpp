#include "GoToLineU.h"

#include <string>

TGoToLineF* GoToLineF = nullptr;

namespace {

enum : int { idLabel = 100, idLine };

}  // namespace

TGoToLineF::TGoToLineF(HWND owner) : TModalForm(owner, "Go to Line", 230, 84) {
    LineLabel = AddControl("STATIC", "&Line number:", SS_LEFTNOWORDWRAP, idLabel, 8, 10, 214, 13);
    LineE = AddControl("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER, idLine, 8, 26, 214, 21, nullptr,
                       WS_EX_CLIENTEDGE);
    OkBB = AddControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 66, 54, 75, 25);
    CancelBB = AddControl("BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 147, 54, 75, 25);
    SendMessageA(Handle(), DM_SETDEFID, IDOK, 0);
}

int TGoToLineF::Ask(int lineCount, int current) {
    lineCount_ = lineCount < 1 ? 1 : lineCount;
    const std::string label = "&Line number (1 - " + std::to_string(lineCount_) + "):";
    SetWindowTextA(LineLabel, label.c_str());
    SetWindowTextA(LineE, std::to_string(current).c_str());
    return ShowModal() == IDOK ? Value() : 0;
}

void TGoToLineF::FormShow() {
    SetFocus(LineE);
    SendMessageA(LineE, EM_SETSEL, 0, -1);
}

int TGoToLineF::Value() const {
    char text[16] = "";
    GetWindowTextA(LineE, text, sizeof text);
    // Digits only (ES_NUMBER lets a paste through, so check); too many is out of range.
    long value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > lineCount_) return 0;
        value = value * 10 + (*p - '0');
    }
    return value >= 1 && value <= lineCount_ ? static_cast<int>(value) : 0;
}

bool TGoToLineF::HandleMessage(UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
    // A number out of range: the dialog stays, with the number selected to retype.
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED && Value() == 0) {
        MessageBeep(MB_ICONWARNING);
        SetFocus(LineE);
        SendMessageA(LineE, EM_SETSEL, 0, -1);
        result = 0;
        return true;
    }
    return false;
}
