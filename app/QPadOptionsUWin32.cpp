// The Options command of the main window.
#include "OptionsU.h"
#include "QPadU.h"

void TQPadF::EditOptionsExecute() {
    if (!OptionsF) return;
    // A failure inside the dialog (a save that fails on OK) is shown by the
    // program's own handler while the dialog stays open.
    auto onFailure = [this](std::exception_ptr failure) {
        Guarded([failure] { std::rethrow_exception(failure); });
    };
    if (OptionsF->ShowModal(hwnd_, onFailure) == IDOK) ApplyEditorSettings();
}
