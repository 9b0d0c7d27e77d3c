#pragma once
// What the colouring knows of its control's view: the lines in view when last
// looked at, and what the view was then (the line count, the scroll position,
// the client area). The many messages after which other lines may be in view
// cost nothing when none are, and an edit that moved nothing looks at those
// lines only.
#include <windows.h>

class TSeenView {
public:
    // The view is as last looked at, with lineCount lines in the text.
    bool AsSeen(HWND wnd, int lineCount) const {
        if (!Known || SeenCount != lineCount || GetScrollPos(wnd, SB_VERT) != SeenScroll) return false;
        RECT area{};
        GetClientRect(wnd, &area);
        return EqualRect(&area, &SeenArea) != 0;
    }
    int First() const { return SeenFirst; }
    int Last() const { return SeenLast; }
    // Lines [first, last] are in view now, their colours as wanted.
    void Saw(HWND wnd, int first, int last, int lineCount) {
        Known = true;
        SeenFirst = first;
        SeenLast = last;
        SeenCount = lineCount;
        SeenScroll = GetScrollPos(wnd, SB_VERT);
        GetClientRect(wnd, &SeenArea);
    }
    // Nothing known of the view.
    void Forget() {
        Known = false;
        Dirty_ = true;
    }
    // The lines in view want looking at again though the view did not move
    // (an edit may have changed how they start).
    bool Dirty() const { return Dirty_; }
    void SetDirty(bool dirty) { Dirty_ = dirty; }

private:
    bool Known = false;
    int SeenFirst = 0, SeenLast = 0, SeenCount = -1, SeenScroll = 0;
    RECT SeenArea{};
    bool Dirty_ = true;
};
