// The main window's panes: the editor panel, the splitters, the two lists with
// their headers and the status bar, each made where the layout puts it and
// placed again when the layout changes.
#include <windows.h>
#include <commctrl.h>

#include "QPadU.h"
#include "RichEditQX.h"

// Each pane is made where the layout puts it, so that the first layout moves
// nothing.
void TQPadF::CreatePanes() {
    const TQPadLayout::Areas areas = layout_.AreasOf(hwnd_);
    panes_.RichEditP = CreatePanel(hwnd_, hwnd_, areas.editorPanel);
    // A drag sets the remembered size, within what the window has room for now.
    layout_.Follow(hwnd_, [this] { Layout(); });
    panes_.Splitter2 = CreateSplitter(hwnd_, true, layout_.BottomSplitter(), areas.splitter2);
    CreateLists(areas);
    CreateStatusBar(areas);
    // The editor comes with FormCreate, in its panel's client area.
}

void TQPadF::CreateLists(const TQPadLayout::Areas& areas) {
    TQPadPanes& p = panes_;
    p.Panel1 = CreatePanel(hwnd_, hwnd_, areas.bottomPanel);
    p.ErrorP = CreatePanel(p.Panel1, hwnd_, areas.errorPanel);
    p.Splitter3 = CreateSplitter(p.Panel1, false, layout_.SideSplitter(), areas.splitter3);
    p.CompillerP = CreatePanel(p.Panel1, hwnd_, areas.compilerPanel);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto makeHeader = [&](HWND parent, const char* caption, const RECT& area) {
        HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_FLAT, area.left,
                                      area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                      instance, nullptr);
        SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(caption);
        item.cxy = area.right - area.left;  // the one section fills the header
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return header;
    };
    auto makeList = [&](HWND parent, const RECT& area) {
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                        LBS_NOINTEGRALHEIGHT,
                                    area.left, area.top, area.right - area.left, area.bottom - area.top, parent,
                                    nullptr, instance, nullptr);
        return list;
    };
    p.ErrorHC = makeHeader(p.ErrorP, "Errors", areas.errorHeader);
    p.ErrorLB = makeList(p.ErrorP, areas.errorList);
    p.CompillerHC = makeHeader(p.CompillerP, "DOS output", areas.compilerHeader);
    p.CompillerLB = makeList(p.CompillerP, areas.compilerList);
}

// Fixed pitch, 12 pixels of character height, items 15 pixels high. Set once
// the window has been drawn: the lists are empty until a command runs, and
// making the font ready costs the start about a millisecond and a half.
void TQPadF::ApplyListFont() {
    if (listFont_.Get()) return;
    listFont_.Reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
    for (HWND list : {panes_.ErrorLB, panes_.CompillerLB}) {
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.Get()), FALSE);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, 15);
    }
}

void TQPadF::CreateStatusBar(const TQPadLayout::Areas& areas) {
    const RECT& area = areas.statusBar;
    HWND bar = panes_.StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                   CCS_NODIVIDER,
                               area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    TQPadLayout::SetStatusParts(bar, areas.width);
    SendMessageA(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Hint"));
    SendMessageA(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(" 00:00"));
    SendMessageA(bar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
    SendMessageA(bar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(""));
}

void TQPadF::Layout() {
    if (!panes_.StatusBar) return;  // still being built
    layout_.Place(hwnd_, panes_, sourceEdit_ ? sourceEdit_->Handle() : nullptr);
}
