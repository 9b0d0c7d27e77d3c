#include "ControlHistory.h"

void TControlHistory::Replay(ITextBuffer& buf, bool redo) {
    ++Editing;
    if (redo)
        Steps.Redo(buf);
    else
        Steps.Undo(buf);
    --Editing;
}

void TControlHistory::Loaded(int length) {
    Steps.Clear();
    ExpectedLength = length;
}

void TControlHistory::Reported(int length) {
    // Only a change of the length shows it for sure: one past the history.
    if (length == ExpectedLength) return;
    ExpectedLength = length;
    Steps.Clear();
    Steps.MarkUnsaved();
}
