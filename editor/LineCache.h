#pragma once
// Where the editor control's lines start, kept so that line lookups need not
// walk the control's text from the top (milliseconds for each selection change
// deep in a long text under Wine). Kept while the text is as loaded and through
// the edits the editor makes itself; dropped before anything that may change
// the text some other way, and whenever a cheap check finds it out of step.
// While there is none, the control is asked.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "LineIndex.h"

class TLineCache {
public:
    // A new text in wnd: kept only where the control counts its lines and
    // characters as the index does.
    void Load(HWND wnd, const std::u16string& text);
    // Where each line starts, while kept; null while not.
    const std::vector<int>* Starts() const { return Index.Empty() ? nullptr : &Index.Starts(); }
    bool Kept() const { return !Index.Empty(); }
    void Drop() const { Index = TLineIndex(); }
    // [start, end) of the text replaced with text; a later lookup checks the
    // index is still in step.
    void Follow(int start, int end, const std::u16string& text);

    // The line holding pos, and where line starts (-1 for a line past the end).
    int LineOf(HWND wnd, int pos) const {
        if (InStep(wnd)) return Index.LineOf(pos);
        return static_cast<int>(SendMessageA(wnd, EM_EXLINEFROMCHAR, 0, pos));
    }
    int LineStart(HWND wnd, int line) const {
        if (line >= 0 && InStep(wnd)) return Index.LineStart(line);
        return static_cast<int>(SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    }

private:
    // Dropped when it is not.
    bool InStep(HWND wnd) const;

    mutable TLineIndex Index;
};
