// The main window's layout: the editor panel, the splitters, the two lists with
// their headers and the status bar, placed to the designed sizes.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "QPadU.h"
#include "RichEditQX.h"

namespace {

const int kToolBarHeight = 30;
const int kStatusHeight = 19;
const int kFormPanelWidth = 120;  // "UTF-8 BOM  CRLF" and the size grip
const int kSplitterSize = 5;
const int kHeaderHeight = 17;
const int kMinEditorHeight = 30;  // what the lower splitter always leaves to the editor
const int kMinErrorWidth = 1;     // the side splitter's minimum size

}  // namespace

// Each pane is made where the layout puts it, so that the first layout moves
// nothing.
void TQPadF::CreateLayout() {
    const Areas areas = LayoutAreas();
    RichEditP = CreatePanel(hwnd_, hwnd_, areas.editorPanel);
    // A drag sets the remembered size, within what the window has room for now.
    drag2_.begin = [this] { dragStart_ = ShownBottomHeight(); };
    drag2_.drag = [this](int delta) {
        bottomHeight_ = dragStart_ - delta;
        bottomHeight_ = ShownBottomHeight();
        Layout();
    };
    Splitter2 = CreateSplitter(hwnd_, true, &drag2_, areas.splitter2);
    CreateLists(areas);
    CreateStatusBar(areas);
    // The editor comes with FormCreate, in its panel's client area.
}

void TQPadF::CreateLists(const Areas& areas) {
    Panel1 = CreatePanel(hwnd_, hwnd_, areas.bottomPanel);
    ErrorP = CreatePanel(Panel1, hwnd_, areas.errorPanel);
    drag3_.begin = [this] { dragStart_ = ShownErrorWidth(); };
    drag3_.drag = [this](int delta) {
        errorWidth_ = dragStart_ + delta;
        errorWidth_ = ShownErrorWidth();
        Layout();
    };
    Splitter3 = CreateSplitter(Panel1, false, &drag3_, areas.splitter3);
    CompillerP = CreatePanel(Panel1, hwnd_, areas.compilerPanel);

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
    ErrorHC = makeHeader(ErrorP, "Errors", areas.errorHeader);
    ErrorLB = makeList(ErrorP, areas.errorList);
    CompillerHC = makeHeader(CompillerP, "DOS output", areas.compilerHeader);
    CompillerLB = makeList(CompillerP, areas.compilerList);
}

// Fixed pitch, 12 pixels of character height, items 15 pixels high. Set once
// the window has been drawn: the lists are empty until a command runs, and
// making the font ready costs the start about a millisecond and a half.
void TQPadF::ApplyListFont() {
    if (listFont_.Get()) return;
    listFont_.Reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
    for (HWND list : {ErrorLB, CompillerLB}) {
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.Get()), FALSE);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, 15);
    }
}

void TQPadF::CreateStatusBar(const Areas& areas) {
    const RECT& area = areas.statusBar;
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                    CCS_NODIVIDER,
                                area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SetStatusParts(areas.width);
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Hint"));
    SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(" 00:00"));
    SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
    SendMessageA(StatusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(""));
}

// The hint, the caret and the message panels as they always were; the text's
// form in a panel of its own at the right end.
void TQPadF::SetStatusParts(int width) {
    const int formEdge = std::max(kFormPanelWidth + 250, width - kFormPanelWidth);
    int edges[4] = {200, 250, formEdge, -1};
    SendMessageA(StatusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

// The sizes as drawn in the client area of now: the remembered ones, clamped.
// A small or minimized window must not shrink what comes back when it grows.
int TQPadF::ShownBottomHeight() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int limit = static_cast<int>(rc.bottom) - kStatusHeight - kSplitterSize - kToolBarHeight - kMinEditorHeight;
    return std::max(0, std::min(bottomHeight_, limit));
}

int TQPadF::ShownErrorWidth() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return std::max(kMinErrorWidth, std::min(errorWidth_, static_cast<int>(rc.right) - kSplitterSize - 1));
}

TQPadF::Areas TQPadF::LayoutAreas() const {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int w = rc.right, h = rc.bottom;
    const int bh = ShownBottomHeight(), ew = ShownErrorWidth();
    const int panelTop = h - kStatusHeight - bh, splitTop = panelTop - kSplitterSize;
    const int cw = w - ew - kSplitterSize, listBottom = kHeaderHeight + std::max(0, bh - kHeaderHeight);
    Areas a;
    a.width = w;
    a.toolBar = {0, 0, w, kToolBarHeight};
    a.statusBar = {0, h - kStatusHeight, w, h};
    a.editorPanel = {0, kToolBarHeight, w, std::max(kToolBarHeight, splitTop)};
    a.splitter2 = {0, splitTop, w, splitTop + kSplitterSize};
    a.bottomPanel = {0, panelTop, w, panelTop + bh};
    a.errorPanel = {0, 0, ew, bh};
    a.splitter3 = {ew, 0, ew + kSplitterSize, bh};
    a.compilerPanel = {ew + kSplitterSize, 0, w, bh};
    a.errorHeader = {0, 0, ew, kHeaderHeight};
    a.errorList = {0, kHeaderHeight, ew, listBottom};
    a.compilerHeader = {0, 0, cw, kHeaderHeight};
    a.compilerList = {0, kHeaderHeight, cw, listBottom};
    return a;
}

void TQPadF::Layout() {
    if (!StatusBar) return;  // still being built
    const Areas a = LayoutAreas();
    Place(ToolBar1, a.toolBar);
    Place(StatusBar, a.statusBar);
    SetStatusParts(a.width);
    Place(RichEditP, a.editorPanel);
    Place(Splitter2, a.splitter2);
    Place(Panel1, a.bottomPanel);
    if (SourceEdit) {
        RECT er;
        GetClientRect(RichEditP, &er);
        Place(SourceEdit->Handle(), er);
    }
    Place(ErrorP, a.errorPanel);
    Place(Splitter3, a.splitter3);
    Place(CompillerP, a.compilerPanel);
    auto placeList = [&](HWND header, HWND list, const RECT& headerArea, const RECT& listArea) {
        Place(header, headerArea);
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = headerArea.right - headerArea.left;  // the one section fills the header
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        Place(list, listArea);
    };
    placeList(ErrorHC, ErrorLB, a.errorHeader, a.errorList);
    placeList(CompillerHC, CompillerLB, a.compilerHeader, a.compilerList);
}
