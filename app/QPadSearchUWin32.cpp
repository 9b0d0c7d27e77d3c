// The Search menu's commands of the main window: Find, Replace and Search
// again in the source, and Go to Line, over their dialogs.
#include "ControlsWin32.h"
#include "FindU.h"
#include "GoToLineU.h"
#include "ReplaceU.h"
#include "QPadU.h"
#include "RichEditQX.h"

// The dialogs are made at their first use, not at the program's start, which
// then shows its main window sooner; a test may have put its own in place.
void TQPadF::EdFindExecute() {
    if (!FindF) {
        findF_ = std::make_unique<TFindF>(hwnd_);
        FindF = findF_.get();
    }
    // At the main window's top-right corner, clear of its frame.
    PlaceAtOwnerTopRight(FindF->Handle(), hwnd_);
    if (FindF->ShowModal() == IDOK) SearchText(FindF->FromCursor());
}

// Whatever origin the dialog shows: a repeated search goes on from the cursor.
void TQPadF::EdSearchAgainExecute() { SearchText(true); }

// Forward only, no wrap; nothing found is no error and leaves everything as it was.
void TQPadF::SearchText(bool fromCursor) {
    // Before the first Find there is nothing to search for.
    const std::string text = FindF ? FindF->TextToFind() : std::string();
    if (text.empty()) return;
    int start = 0;
    if (fromCursor) {
        // Behind a selection, so that a repeated search does not find the same match.
        start = sourceEdit_->SelStart() + sourceEdit_->SelLength();
    }
    const int length = sourceEdit_->GetTextLen();
    if (start >= length) return;
    const TSearchTypes options = FindF->SearchOptions();
    const int found = sourceEdit_->FindText(text, start, length - start, options);
    if (found < 0) return;
    sourceEdit_->SetFocus();
    // One selection change rather than a collapse and then a length: each change
    // costs the status bar a line count, which is slow deep in a long text.
    sourceEdit_->SetSel(found, found + static_cast<int>(text.size()));
    sourceEdit_->ScrollCaret();
}

void TQPadF::EdReplaceExecute() {
    if (!ReplaceF) {
        replaceF_ = std::make_unique<TReplaceF>(hwnd_);
        ReplaceF = replaceF_.get();
    }
    ReplaceF->OnCommand = [this](TReplaceF::Command command) { Guarded([&] { ReplaceCommand(command); }); };
    PlaceAtOwnerTopRight(ReplaceF->Handle(), hwnd_);
    ReplaceF->ShowModal();
    sourceEdit_->SetFocus();
}

void TQPadF::ReplaceCommand(int command) {
    const std::string find = ReplaceF->TextToFind();
    if (find.empty()) return;
    const TSearchTypes options = ReplaceF->SearchOptions();
    std::string status;
    if (command == TReplaceF::ReplaceEvery) {
        const int count = sourceEdit_->ReplaceAll(find, ReplaceF->ReplaceWith(), options);
        status = "Replaced " + std::to_string(count) + (count == 1 ? " occurrence" : " occurrences");
    } else {
        // Replace puts the new text in place of the match that is selected, then
        // goes on to the next, as Find Next does.
        const int start = sourceEdit_->SelStart(), length = sourceEdit_->SelLength();
        if (command == TReplaceF::ReplaceOne && length > 0 && sourceEdit_->FindText(find, start, length, options) == start)
            sourceEdit_->ReplaceSel(ReplaceF->ReplaceWith());
        const int from = sourceEdit_->SelStart() + sourceEdit_->SelLength();
        const int total = sourceEdit_->GetTextLen();
        const int found = from < total ? sourceEdit_->FindText(find, from, total - from, options) : -1;
        if (found >= 0) {
            sourceEdit_->SetSel(found, found + static_cast<int>(find.size()));
            sourceEdit_->ScrollCaret();
        } else {
            status = "Cannot find \"" + find + "\"";
        }
    }
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(status.c_str()));
}

void TQPadF::EdGoToLineExecute() {
    if (!GoToLineF) {
        goToLineF_ = std::make_unique<TGoToLineF>(hwnd_);
        GoToLineF = goToLineF_.get();
    }
    CentreOnOwner(GoToLineF->Handle(), hwnd_);
    const int current = sourceEdit_->LineFromChar(sourceEdit_->SelStart()) + 1;
    const int line = GoToLineF->Ask(sourceEdit_->LineCount(), current);
    sourceEdit_->SetFocus();
    if (line <= 0) return;
    const int start = sourceEdit_->LineIndex(line - 1);
    if (start < 0) return;
    sourceEdit_->SetSel(start, start);
    sourceEdit_->ShowLine(line - 1);
}
