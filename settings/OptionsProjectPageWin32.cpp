// The options dialog's "Project" page: the options kept with the current
// source, and the button that saves them there.
#include <windows.h>

#include "OptionsDialogWin32.h"
#include "OptionsU.h"

using namespace options_dialog;

void TOptionsF::CreateProjectPage() {
    HWND ts = ProjectTS;
    Control(ts, "Static", "Application command line", 0, 8, 8, 300, 14);
    AppComLineE = Control(ts, "Edit", "", kFieldStyle, 8, 24, 595, 21, WS_EX_CLIENTEDGE);
    Control(ts, "Static", "Applet HTML file", 0, 8, 56, 300, 14);
    AppHtmlE = Control(ts, "Edit", "", kFieldStyle, 8, 72, 568, 21, WS_EX_CLIENTEDGE);
    for (HWND e : {AppComLineE, AppHtmlE}) SendMessageA(e, EM_LIMITTEXT, kMaxProfileText, 0);
    SpeedButton1 = Control(ts, "Button", "", BS_PUSHBUTTON | BS_ICON, 580, 71, 23, 23);
    SendMessageA(SpeedButton1, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folderIcon_.Get()));
    KeepFocusAway(SpeedButton1);
    SaveOptBB = Control(ts, "Button", "Save project options", WS_TABSTOP | BS_PUSHBUTTON, 8, 112,
                        150, 25);
    AddPicture(SaveOptBB, IDI_OPTIONS_SAVE);
    PrjOptIniE = Control(ts, "Edit", "", kReadOnlyStyle, 166, 114, 437, 21, WS_EX_CLIENTEDGE);
}

void TOptionsF::SaveOptBBClick() { SaveProjectOptions(); }
