#pragma once
// Where each line of the colouring's control starts, kept through the edits the
// colouring follows, so that a key asks the control nothing that makes it walk
// its text from the top; the control is asked while none is kept.
#include <windows.h>

#include <vector>

class TLineStarts {
public:
    bool Kept() const { return Indexed; }
    // Whether a build from the whole text was tried since the index went.
    bool Tried() const { return IndexTried; }
    void Drop() {
        Indexed = false;
        IndexTried = false;
    }
    // The starts of a text of length characters, as the caller knows them.
    void Keep(const std::vector<int>& starts, int length);
    // From the whole text of wnd, once, where its lineCount lines are as the
    // control counts them.
    void Build(HWND wnd, int lineCount);
    // Lines [first, lastBefore] became lines that start at where (the first at
    // where[0], as before), the lines below them moved by shift, and the text
    // is now length characters long.
    void Replace(int first, int lastBefore, const std::vector<int>& where, int shift, int length);

    // The lines last kept, and their text's length; At(line) while kept.
    int Count() const { return static_cast<int>(Starts.size()); }
    int Length() const { return Length_; }
    int At(int line) const { return Starts[static_cast<std::size_t>(line)]; }
    // Where line starts (the text's end past the last), and the line holding pos.
    int StartOf(HWND wnd, int line) const;
    int LineAt(HWND wnd, int pos) const;

private:
    bool Indexed = false, IndexTried = false;
    std::vector<int> Starts;
    int Length_ = 0;
};
