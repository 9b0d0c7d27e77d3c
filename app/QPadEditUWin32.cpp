// The Edit menu's commands of the main window: the standard edit actions on
// the focused text control, and Options.
#include "OptionsU.h"
#include "QPadU.h"
#include "RichEditQX.h"

// The editor through its own operations; any other edit control by message.
void TQPadF::EditFocused(void (TRichEditQX::*own)(), UINT message) {
    HWND c = FocusedTextControl();
    if (c && c == sourceEdit_->Handle())
        (sourceEdit_.get()->*own)();
    else if (c)
        SendMessageA(c, message, 0, 0);
}
void TQPadF::EditUndo1Execute() { EditFocused(&TRichEditQX::Undo, EM_UNDO); }
void TQPadF::EditCut1Execute() { EditFocused(&TRichEditQX::Cut, WM_CUT); }
void TQPadF::EditCopy1Execute() { EditFocused(&TRichEditQX::Copy, WM_COPY); }
void TQPadF::EditPaste1Execute() { EditFocused(&TRichEditQX::Paste, WM_PASTE); }
void TQPadF::EditRedo1Execute() { EditFocused(&TRichEditQX::Redo, EM_REDO); }
void TQPadF::EditSelectAll1Execute() {
    HWND c = FocusedTextControl();
    if (c && c == sourceEdit_->Handle())
        sourceEdit_->SelectAll();
    else if (c)
        SendMessageA(c, EM_SETSEL, 0, -1);
}

void TQPadF::EditOptionsExecute() {
    if (!OptionsF) return;
    // A failure inside the dialog (a save that fails on OK) is shown by the
    // program's own handler while the dialog stays open, in a box the dialog
    // owns, so that the dialog takes no clicks until it is answered.
    auto onFailure = [this](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const EAbort&) {
        } catch (...) {
            HandleCurrentFailure(OptionsF->Handle());
        }
    };
    if (OptionsF->ShowModal(hwnd_, onFailure) == IDOK) ApplyEditorSettings();
}
