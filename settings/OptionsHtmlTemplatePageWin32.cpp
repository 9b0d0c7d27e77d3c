// The options dialog's "HTML Template" page: the page Create HTML writes for an applet.
#include <windows.h>

#include "OptionsU.h"

namespace {

const char kMemo2Text[] = "%c is required and will be \r\nreplaced with class file name";

}  // namespace

void TOptionsF::CreateHtmlTemplatePage() {
    HWND ts = HTMLTemplTS;
    HtmlTempM = Control(ts, "Edit", "",
                        WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                            WS_HSCROLL | WS_VSCROLL,
                        8, 8, 595, 190, WS_EX_CLIENTEDGE);
    SendMessageA(HtmlTempM, WM_SETFONT, reinterpret_cast<WPARAM>(templateFont_.Get()), FALSE);
    NoteLabel(ts, 8, 206);
    Memo2 = Control(ts, "Edit", kMemo2Text, WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 8, 222, 595,
                    36, WS_EX_CLIENTEDGE);
}
