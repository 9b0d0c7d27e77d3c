// The Help menu's command of the main window: the about box.
#include "About.h"
#include "QPadU.h"

// Made at its first use, not at the program's start, which then shows its main
// window sooner; a test may have put its own in place.
void TQPadF::HelpAbout1Execute() {
    if (!AboutBox) {
        aboutBox_ = std::make_unique<TAboutBox>(hwnd_, ApplicationTitle);
        AboutBox = aboutBox_.get();
    }
    AboutBox->ShowModal();
}
