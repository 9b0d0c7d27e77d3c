#pragma once
// What the options dialog's files share: the pages' container class, the
// dialog's measures and the button pictures.
#include <windows.h>

#include "OptionsPictures.h"
#include "ScopedWin32.h"

namespace options_dialog {

// The containers of the pages and of the bottom bar.
inline constexpr char kPanelClass[] = "QpOptionsPanel";
inline constexpr int kClientWidth = 626, kClientHeight = 337;
inline constexpr int kBottomBarHeight = 29;
inline constexpr int kNoteLabelId = 0x7001;  // the maroon "NOTE:" labels
// What the Java SDK page's list of JDKs takes below the folder field.
inline constexpr int kJdkListRoom = 24;

// The pages' one-line fields: typed into, or only shown.
inline constexpr DWORD kFieldStyle = WS_TABSTOP | ES_AUTOHSCROLL;
inline constexpr DWORD kReadOnlyStyle = ES_AUTOHSCROLL | ES_READONLY;

// A 16 x 16 picture from the program's resources; the caller owns it.
HICON LoadPicture(int id);

// The screen's dots per inch, vertically: what points and pixels convert by.
inline int ScreenDpi() {
    ScopedGetDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

}  // namespace options_dialog
