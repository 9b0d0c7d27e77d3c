// The Options command of the main window.
#include "OptionsU.h"
#include "QPadU.h"

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
