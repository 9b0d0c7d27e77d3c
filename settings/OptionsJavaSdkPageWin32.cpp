// The options dialog's "Java SDK" page: the SDK's directory, the JDKs found on
// the machine to pick it from, and the commands of its three tools.
#include <windows.h>

#include "JdkFinder.h"
#include "OptionsDialogWin32.h"
#include "OptionsU.h"

using namespace options_dialog;

namespace {

const char kMemo1Text[] =
    "%j , %c and %h  are reuired in the compiler and interpreter \r\n"
    "commands.\r\n"
    "\r\n"
    "%j is replaced with editor file name\r\n"
    "%c is replaced with class name\r\n"
    "%h is replaced with HTML file name";

}  // namespace

void TOptionsF::CreateJavaSdkPage() {
    HWND ts = JavaSdkTS;
    Label1 = Control(ts, "Static", "Java SDK binary ( ..\\bin) directory", 0, 8, 8, 300, 14);
    JDirE = Control(ts, "Edit", "", kFieldStyle, 8, 24, 568, 21, WS_EX_CLIENTEDGE);
    SendMessageA(JDirE, EM_LIMITTEXT, kMaxProfileText, 0);
    JDirSB = Control(ts, "Button", "", BS_PUSHBUTTON | BS_ICON, 580, 23, 23, 23);
    SendMessageA(JDirSB, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folderIcon_.Get()));
    KeepFocusAway(JDirSB);  // a small picture button, as a tool button takes no focus
    // Filled when it is opened: the search reads the registry and several folders,
    // which a dialog opened for the font should not wait for. The height is that
    // of the open list.
    JdkListCB = Control(ts, "ComboBox", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 8, 50, 595, 160);
    // Below the list, everything is moved down by the room it takes.
    const int below = kJdkListRoom;
    struct Row {
        const char* label;
        HWND* file;
        HWND* command;
    } rows[] = {{"Compiler", &CompE, &CompCommE},
                {"Interpreter", &InterpE, &IntCommE},
                {"Applet Viewer", &ApViewE, &ApViewCommE}};
    int y = 58 + below;
    for (const Row& row : rows) {
        Control(ts, "Static", row.label, 0, 8, y + 3, 80, 14);
        *row.file = Control(ts, "Edit", "", kReadOnlyStyle, 92, y, 130, 21, WS_EX_CLIENTEDGE);
        Control(ts, "Static", "command", 0, 234, y + 3, 56, 14);
        *row.command = Control(ts, "Edit", "", kFieldStyle, 292, y, 311, 21, WS_EX_CLIENTEDGE);
        SendMessageA(*row.command, EM_LIMITTEXT, kMaxProfileText, 0);
        y += 28;
    }
    SetWindowTextA(CompE, CompilerFile().c_str());
    SetWindowTextA(InterpE, InterpreterFile().c_str());
    SetWindowTextA(ApViewE, AppletViewerFile().c_str());
    NoteLabel(ts, 8, 146 + below);
    // A little shorter than it was (its six lines still fit), so that it stays on the page.
    Memo1 = Control(ts, "Edit", kMemo1Text, ES_MULTILINE | ES_READONLY, 8, 162 + below, 595, 90,
                    WS_EX_CLIENTEDGE);
}

std::vector<JdkInstall> TOptionsF::InstalledJdks() { return FindJdks(WindowsJdkPlaces()); }

void TOptionsF::JdkListCBCommand(UINT code) {
    if (code == CBN_DROPDOWN) {
        listedJdks_ = InstalledJdks();
        SendMessageA(JdkListCB, CB_RESETCONTENT, 0, 0);
        for (const JdkInstall& jdk : listedJdks_)
            SendMessageA(JdkListCB, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(JdkListText(jdk).c_str()));
        return;
    }
    // A pick is an item chosen in the open list, or one stepped to with the
    // arrow keys while it is closed; stepping through the open list is none.
    const bool picked = code == CBN_SELENDOK ||
                        (code == CBN_SELCHANGE && !SendMessageA(JdkListCB, CB_GETDROPPEDSTATE, 0, 0));
    if (!picked) return;
    const LRESULT index = SendMessageA(JdkListCB, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= listedJdks_.size()) return;
    // Into the field as if typed there: OK checks it.
    SetJavaSdkDir(listedJdks_[static_cast<std::size_t>(index)].BinDir());
}
