// Find and Search again in the source, and the about box: the main window's
// commands over the find dialog and the about box.
#include "About.h"
#include "FindU.h"
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
