// The main window's build commands: Compile, Run, the applet commands, and the
// error list's way back into the source.
#include "CompilerU.h"
#include "QPadU.h"
#include "RichEditQX.h"

bool TQPadF::OnListNotify(HWND list, UINT code) {
    if (list == ErrorLB && code == LBN_DBLCLK) {
        Guarded([&] { ErrorLBDblClick(); });
        return true;
    }
    return false;
}

void TQPadF::ErrorLBDblClick() {
    const LRESULT index = SendMessageA(ErrorLB, LB_GETCURSEL, 0, 0);
    if (index < 0) return;  // nothing selected: nowhere to go
    const LRESULT length = SendMessageA(ErrorLB, LB_GETTEXTLEN, index, 0);
    std::string entry(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
    if (length > 0) SendMessageA(ErrorLB, LB_GETTEXT, index, reinterpret_cast<LPARAM>(entry.data()));
    entry.resize(length > 0 ? static_cast<std::size_t>(length) : 0);

    int line = -1, column = -1;
    ReadErrorEntry(entry, line, column);
    // An entry that names no line of this text ("No errors", or a line past the
    // end) leaves the caret where it is. The column is taken as it stands.
    const int start = line >= 1 ? SourceEdit->LineIndex(line - 1) : -1;
    if (start >= 0) {
        SourceEdit->SetSelStart(start + column);
        SourceEdit->ScrollCaret();
    }
    SourceEdit->SetFocus();
}
