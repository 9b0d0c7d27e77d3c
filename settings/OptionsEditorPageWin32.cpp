// The options dialog's "Editor" page: the editor's font, shown on a sample
// source, the two typing aids, the encoding of new files and the Java colours.
#include <windows.h>
#include <richedit.h>

#include "EditorFontWin32.h"
#include "OptionsDialogWin32.h"
#include "OptionsU.h"

using namespace options_dialog;

namespace {

const char kPreviewText[] =
    "/**\r\n"
    " * Hello: the smallest program there is.\r\n"
    " */\r\n"
    "public class Hello {\r\n"
    "    public static void main(String[] args) {\r\n"
    "        System.out.println(\"Hello, world!\");\r\n"
    "    }\r\n"
    "}\r\n";

}  // namespace

void TOptionsF::CreateEditorPage() {
    HWND ts = EditorTS;
    EdFontSB = Control(ts, "Button", "Editor font", WS_TABSTOP | BS_PUSHBUTTON, 16, 6, 100, 24);
    AddPicture(EdFontSB, IDI_OPTIONS_FONT);
    EdFontGB = Control(ts, "Button", "", BS_GROUPBOX | WS_CLIPSIBLINGS, 8, 16, 595, 186);
    Control(ts, "Static", "Name:", 0, 20, 40, 40, 14);
    FontNameL = Control(ts, "Static", "", 0, 62, 40, 240, 14);
    Control(ts, "Static", "Size: ", 0, 320, 40, 30, 14);
    FontSizeL = Control(ts, "Static", "", 0, 352, 40, 60, 14);
    SendMessageA(FontNameL, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
    SendMessageA(FontSizeL, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
    RichEdit1 = Control(ts, "RICHEDIT", "",
                        WS_TABSTOP | ES_MULTILINE | ES_READONLY | WS_HSCROLL | WS_VSCROLL |
                            ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                        20, 60, 571, 130, WS_EX_CLIENTEDGE);
    SendMessageA(RichEdit1, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
    SendMessageA(RichEdit1, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    SetWindowTextA(RichEdit1, kPreviewText);
    AutoindentCB = Control(ts, "Button", "Autoindent", WS_TABSTOP | BS_AUTOCHECKBOX, 8, 214, 120, 18);
    SmartTabsCB = Control(ts, "Button", "Smart tabs", WS_TABSTOP | BS_AUTOCHECKBOX, 8, 238, 120, 18);
    NewUtf8CB = Control(ts, "Button", "Save new files as UTF-8", WS_TABSTOP | BS_AUTOCHECKBOX, 160, 214, 200, 18);
    ColourCB = Control(ts, "Button", "Colour", WS_TABSTOP | BS_AUTOCHECKBOX, 8, 262, 120, 18);
}

void TOptionsF::EditorFontChange() {
    if (!hwnd_) return;  // shown when the dialog is made
    const TEditorFont& font = EditorFont();
    SetWindowTextA(FontNameL, font.name.c_str());
    SetWindowTextA(FontSizeL, std::to_string(font.size).c_str());
    CHARFORMATA format = CharFormatOf(font);
    SendMessageA(RichEdit1, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}
