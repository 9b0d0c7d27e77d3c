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

void TQPadF::CreateLayout() {
    RichEditP = CreatePanel(hwnd_, hwnd_);
    // A drag sets the remembered size, within what the window has room for now.
    drag2_.begin = [this] { dragStart_ = ShownBottomHeight(); };
    drag2_.drag = [this](int delta) {
        bottomHeight_ = dragStart_ - delta;
        bottomHeight_ = ShownBottomHeight();
        Layout();
    };
    Splitter2 = CreateSplitter(hwnd_, true, &drag2_);
    CreateLists();
    CreateStatusBar();
    // Placed once the editor is made too (FormCreate).
}

void TQPadF::CreateLists() {
    Panel1 = CreatePanel(hwnd_, hwnd_);
    ErrorP = CreatePanel(Panel1, hwnd_);
    drag3_.begin = [this] { dragStart_ = ShownErrorWidth(); };
    drag3_.drag = [this](int delta) {
        errorWidth_ = dragStart_ + delta;
        errorWidth_ = ShownErrorWidth();
        Layout();
    };
    Splitter3 = CreateSplitter(Panel1, false, &drag3_);
    CompillerP = CreatePanel(Panel1, hwnd_);

    // Fixed pitch, 12 pixels of character height, items 15 pixels high.
    listFont_.Reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New"));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto makeHeader = [&](HWND parent, const char* caption) {
        HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_HORZ | HDS_FLAT, 0, 0, 0, 0, parent,
                                      nullptr, instance, nullptr);
        SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(caption);
        item.cxy = 100;
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return header;
    };
    auto makeList = [&](HWND parent) {
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                        LBS_NOINTEGRALHEIGHT,
                                    0, 0, 0, 0, parent, nullptr, instance, nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.Get()), FALSE);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, 15);
        return list;
    };
    ErrorHC = makeHeader(ErrorP, "Errors");
    ErrorLB = makeList(ErrorP);
    CompillerHC = makeHeader(CompillerP, "DOS output");
    CompillerLB = makeList(CompillerP);
}

void TQPadF::CreateStatusBar() {
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                    CCS_NODIVIDER,
                                0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetStatusParts(0);
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

void TQPadF::Layout() {
    if (!StatusBar) return;  // still being built
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int w = rc.right, h = rc.bottom;
    const int middleTop = kToolBarHeight;
    const int bottomHeight = ShownBottomHeight(), errorWidth = ShownErrorWidth();

    const int panelTop = h - kStatusHeight - bottomHeight;
    const int splitTop = panelTop - kSplitterSize;
    MoveWindow(ToolBar1, 0, 0, w, kToolBarHeight, TRUE);
    MoveWindow(StatusBar, 0, h - kStatusHeight, w, kStatusHeight, TRUE);
    SetStatusParts(w);
    MoveWindow(RichEditP, 0, middleTop, w, splitTop - middleTop > 0 ? splitTop - middleTop : 0, TRUE);
    MoveWindow(Splitter2, 0, splitTop, w, kSplitterSize, TRUE);
    MoveWindow(Panel1, 0, panelTop, w, bottomHeight, TRUE);
    if (SourceEdit) {
        RECT er;
        GetClientRect(RichEditP, &er);
        MoveWindow(SourceEdit->Handle(), 0, 0, er.right, er.bottom, TRUE);
    }

    const int ew = errorWidth, cw = w - ew - kSplitterSize, bh = bottomHeight;
    MoveWindow(ErrorP, 0, 0, ew, bh, TRUE);
    MoveWindow(Splitter3, ew, 0, kSplitterSize, bh, TRUE);
    MoveWindow(CompillerP, ew + kSplitterSize, 0, cw, bh, TRUE);
    auto placeList = [&](HWND header, HWND list, int width) {
        MoveWindow(header, 0, 0, width, kHeaderHeight, TRUE);
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = width;  // the one section fills the header
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        MoveWindow(list, 0, kHeaderHeight, width, bh > kHeaderHeight ? bh - kHeaderHeight : 0, TRUE);
    };
    placeList(ErrorHC, ErrorLB, ew);
    placeList(CompillerHC, CompillerLB, cw);
}
