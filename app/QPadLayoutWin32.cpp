#include "QPadLayout.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const int kToolBarHeight = 30;
const int kStatusHeight = 19;
const int kFormPanelWidth = 120;  // "UTF-8 BOM  CRLF" and the size grip
const int kSplitterSize = 5;
const int kHeaderHeight = 17;
const int kMinEditorHeight = 30;  // what the lower splitter always leaves to the editor
const int kMinErrorWidth = 1;     // the side splitter's minimum size

SIZE ClientSize(HWND window) {
    RECT rc{};
    GetClientRect(window, &rc);
    return {rc.right, rc.bottom};
}

}  // namespace

TQPadLayout::TQPadLayout() {
    bottomSplitter_.begin = [this] { BeginBottomDrag(ClientSize(window_).cy); };
    bottomSplitter_.drag = [this](int delta) {
        DragBottom(delta, ClientSize(window_).cy);
        if (changed_) changed_();
    };
    sideSplitter_.begin = [this] { BeginSideDrag(ClientSize(window_).cx); };
    sideSplitter_.drag = [this](int delta) {
        DragSide(delta, ClientSize(window_).cx);
        if (changed_) changed_();
    };
}

void TQPadLayout::Follow(HWND window, std::function<void()> changed) {
    window_ = window;
    changed_ = std::move(changed);
}

// The lower splitter moves up as the lists grow.
void TQPadLayout::DragBottom(int delta, int clientHeight) {
    bottomHeight_ = dragStart_ - delta;
    bottomHeight_ = ShownBottomHeight(clientHeight);
}

void TQPadLayout::DragSide(int delta, int clientWidth) {
    errorWidth_ = dragStart_ + delta;
    errorWidth_ = ShownErrorWidth(clientWidth);
}

int TQPadLayout::ShownBottomHeight(int clientHeight) const {
    const int limit = clientHeight - kStatusHeight - kSplitterSize - kToolBarHeight - kMinEditorHeight;
    return std::max(0, std::min(bottomHeight_, limit));
}

int TQPadLayout::ShownErrorWidth(int clientWidth) const {
    return std::max(kMinErrorWidth, std::min(errorWidth_, clientWidth - kSplitterSize - 1));
}

TQPadLayout::Areas TQPadLayout::AreasFor(int w, int h) const {
    const int bh = ShownBottomHeight(h), ew = ShownErrorWidth(w);
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

TQPadLayout::Areas TQPadLayout::AreasOf(HWND window) const {
    const SIZE client = ClientSize(window);
    return AreasFor(client.cx, client.cy);
}

void TQPadLayout::SetStatusParts(HWND statusBar, int width) {
    const int formEdge = std::max(kFormPanelWidth + 250, width - kFormPanelWidth);
    int edges[4] = {200, 250, formEdge, -1};
    SendMessageA(statusBar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void TQPadLayout::Place(HWND window, const TQPadPanes& panes, HWND editor) const {
    const Areas a = AreasOf(window);
    ::Place(panes.ToolBar1, a.toolBar);
    ::Place(panes.StatusBar, a.statusBar);
    SetStatusParts(panes.StatusBar, a.width);
    ::Place(panes.RichEditP, a.editorPanel);
    ::Place(panes.Splitter2, a.splitter2);
    ::Place(panes.Panel1, a.bottomPanel);
    if (editor) {
        RECT er;
        GetClientRect(panes.RichEditP, &er);
        ::Place(editor, er);
    }
    ::Place(panes.ErrorP, a.errorPanel);
    ::Place(panes.Splitter3, a.splitter3);
    ::Place(panes.CompillerP, a.compilerPanel);
    auto placeList = [&](HWND header, HWND list, const RECT& headerArea, const RECT& listArea) {
        ::Place(header, headerArea);
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = headerArea.right - headerArea.left;  // the one section fills the header
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ::Place(list, listArea);
    };
    placeList(panes.ErrorHC, panes.ErrorLB, a.errorHeader, a.errorList);
    placeList(panes.CompillerHC, panes.CompillerLB, a.compilerHeader, a.compilerList);
}
