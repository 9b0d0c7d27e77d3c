// Find and Search again in the source, and the about box: the main window's
// commands over the find dialog and the about box.
#include "About.h"
#include "FindU.h"
#include "GoToLineU.h"
#include "ReplaceU.h"
#include "QPadU.h"
#include "RichEditQX.h"

// The find dialog and the about box are made at their first use, not at the
// program's start, which then shows its main window sooner.
void TQPadF::EdFindExecute() {
    if (!FindF) FindF = new TFindF(hwnd_);
    // At the main window's top-right corner, clear of its frame.
    RECT main, dialog;
    GetWindowRect(hwnd_, &main);
    GetWindowRect(FindF->Handle(), &dialog);
    FindF->SetPosition(main.left + (main.right - main.left) - (dialog.right - dialog.left) - 3, main.top + 3);
    if (FindF->ShowModal() == IDOK) SearchText(FindF->FromCursor());
}

// Whatever origin the dialog shows: a repeated search goes on from the cursor.
void TQPadF::EdSearchAgainExecute() { SearchText(true); }

void TQPadF::HelpAbout1Execute() {
    if (!AboutBox) AboutBox = new TAboutBox(hwnd_, ApplicationTitle);
    AboutBox->ShowModal();
}

// Forward only, no wrap; nothing found is no error and leaves everything as it was.
void TQPadF::SearchText(bool fromCursor) {
    // Before the first Find there is nothing to search for.
    const std::string text = FindF ? FindF->TextToFind() : std::string();
    if (text.empty()) return;
    int start = 0;
    if (fromCursor) {
        // Behind a selection, so that a repeated search does not find the same match.
        start = SourceEdit->SelStart() + SourceEdit->SelLength();
    }
    const int length = SourceEdit->GetTextLen();
    if (start >= length) return;
    const TSearchTypes options = FindF->SearchOptions();
    const int found = SourceEdit->FindText(text, start, length - start, options);
    if (found < 0) return;
    SourceEdit->SetFocus();
    // One selection change rather than a collapse and then a length: each change
    // costs the status bar a line count, which is slow deep in a long text.
    SourceEdit->SetSel(found, found + static_cast<int>(text.size()));
    SourceEdit->ScrollCaret();
}

void TQPadF::EdReplaceExecute() {
    if (!ReplaceF) ReplaceF = new TReplaceF(hwnd_);
    ReplaceF->OnCommand = [this](TReplaceF::Command command) { Guarded([&] { ReplaceCommand(command); }); };
    RECT main, dialog;
    GetWindowRect(hwnd_, &main);
    GetWindowRect(ReplaceF->Handle(), &dialog);
    ReplaceF->SetPosition(main.right - (dialog.right - dialog.left) - 3, main.top + 3);
    ReplaceF->ShowModal();
    SourceEdit->SetFocus();
}

void TQPadF::ReplaceCommand(int command) {
    const std::string find = ReplaceF->TextToFind();
    if (find.empty()) return;
    const TSearchTypes options = ReplaceF->SearchOptions();
    std::string status;
    if (command == TReplaceF::ReplaceEvery) {
        const int count = SourceEdit->ReplaceAll(find, ReplaceF->ReplaceWith(), options);
        status = "Replaced " + std::to_string(count) + (count == 1 ? " occurrence" : " occurrences");
    } else {
        // Replace puts the new text in place of the match that is selected, then
        // goes on to the next, as Find Next does.
        const int start = SourceEdit->SelStart(), length = SourceEdit->SelLength();
        if (command == TReplaceF::ReplaceOne && length > 0 && SourceEdit->FindText(find, start, length, options) == start)
            SourceEdit->ReplaceSel(ReplaceF->ReplaceWith());
        const int from = SourceEdit->SelStart() + SourceEdit->SelLength();
        const int total = SourceEdit->GetTextLen();
        const int found = from < total ? SourceEdit->FindText(find, from, total - from, options) : -1;
        if (found >= 0) {
            SourceEdit->SetSel(found, found + static_cast<int>(find.size()));
            SourceEdit->ScrollCaret();
        } else {
            status = "Cannot find \"" + find + "\"";
        }
    }
    SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(status.c_str()));
}

void TQPadF::EdGoToLineExecute() {
    if (!GoToLineF) GoToLineF = new TGoToLineF(hwnd_);
    RECT main, dialog;
    GetWindowRect(hwnd_, &main);
    GetWindowRect(GoToLineF->Handle(), &dialog);
    GoToLineF->SetPosition((main.left + main.right - (dialog.right - dialog.left)) / 2,
                           (main.top + main.bottom - (dialog.bottom - dialog.top)) / 2);
    const int current = SourceEdit->LineFromChar(SourceEdit->SelStart()) + 1;
    const int line = GoToLineF->Ask(SourceEdit->LineCount(), current);
    SourceEdit->SetFocus();
    if (line <= 0) return;
    const int start = SourceEdit->LineIndex(line - 1);
    if (start < 0) return;
    SourceEdit->SetSel(start, start);
    SourceEdit->ShowLine(line - 1);
}
