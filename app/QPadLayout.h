#pragma once
// The main window's layout: where each pane goes in a client area of a given
// size, with the two sizes the user changes with the splitters.
#include <windows.h>

#include <functional>

#include "QPadControls.h"

// The panes of the main window, by the names they have always had.
struct TQPadPanes {
    HWND ToolBar1 = nullptr;
    HWND RichEditP = nullptr;
    HWND Splitter2 = nullptr;
    HWND Panel1 = nullptr;
    HWND ErrorP = nullptr, ErrorHC = nullptr, ErrorLB = nullptr;
    HWND Splitter3 = nullptr;
    HWND CompillerP = nullptr, CompillerHC = nullptr, CompillerLB = nullptr;
    HWND StatusBar = nullptr;
};

class TQPadLayout {
public:
    // Where each pane goes in the client area; the lists and their headers
    // within their panels.
    struct Areas {
        int width;
        RECT toolBar, statusBar, editorPanel, splitter2, bottomPanel, errorPanel, splitter3, compilerPanel;
        RECT errorHeader, errorList, compilerHeader, compilerList;
    };

    TQPadLayout();
    TQPadLayout(const TQPadLayout&) = delete;
    TQPadLayout& operator=(const TQPadLayout&) = delete;

    // The remembered sizes: the lists' height and the error list's width.
    int BottomHeight() const { return bottomHeight_; }
    int ErrorWidth() const { return errorWidth_; }
    // The sizes as drawn in a client area of that size: the remembered ones,
    // clamped. A small or minimized window must not shrink what comes back when
    // it grows.
    int ShownBottomHeight(int clientHeight) const;
    int ShownErrorWidth(int clientWidth) const;
    Areas AreasFor(int clientWidth, int clientHeight) const;
    // For the window's client area as it is now.
    Areas AreasOf(HWND window) const;

    // Moves each pane to its area in the window's client area (only those not
    // there already); the editor fills its panel.
    void Place(HWND window, const TQPadPanes& panes, HWND editor) const;
    // The status bar's parts for a bar of that width: the hint, the caret and
    // the message panels as they always were, the text's form at the right end.
    static void SetStatusParts(HWND statusBar, int width);

    // A splitter drag: from the size shown when it began, moved by delta pixels
    // (down or right is positive), within what the client area has room for.
    void BeginBottomDrag(int clientHeight) { dragStart_ = ShownBottomHeight(clientHeight); }
    void DragBottom(int delta, int clientHeight);
    void BeginSideDrag(int clientWidth) { dragStart_ = ShownErrorWidth(clientWidth); }
    void DragSide(int delta, int clientWidth);
    // The splitters' handlers over the window's client area; changed runs after
    // each move of a drag.
    void Follow(HWND window, std::function<void()> changed);
    SplitterDrag* BottomSplitter() { return &bottomSplitter_; }
    SplitterDrag* SideSplitter() { return &sideSplitter_; }

private:
    int bottomHeight_ = 105;
    int errorWidth_ = 282;
    int dragStart_ = 0;
    HWND window_ = nullptr;
    std::function<void()> changed_;
    SplitterDrag bottomSplitter_, sideSplitter_;
};
