#include "LineStarts.h"

#include <richedit.h>

#include <algorithm>

#include "JavaColourInternalWin32.h"
#include "RichEditStream.h"

using namespace java_colour;

void TLineStarts::Keep(const std::vector<int>& starts, int length) {
    Starts = starts;
    Length_ = length;
    Indexed = true;
}

// In idle time, where an edit we could not follow dropped it.
void TLineStarts::Build(HWND wnd, int lineCount) {
    IndexTried = true;
    const int length = RichTextLength(wnd);
    const std::string text = TextRange(wnd, 0, length);
    if (static_cast<int>(text.size()) != length) return;
    std::vector<int> starts;
    SplitLines(text, &starts, nullptr);
    const int last = static_cast<int>(starts.size()) - 1;
    if (last + 1 != lineCount || LineCount(wnd) != last + 1 ||
        Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(last)) != starts.back())
        return;
    Starts = std::move(starts);
    Length_ = length;
    Indexed = true;
}

void TLineStarts::Replace(int first, int lastBefore, const std::vector<int>& where, int shift, int length) {
    const int pieces = static_cast<int>(where.size());
    Starts.erase(Starts.begin() + first + 1, Starts.begin() + lastBefore + 1);
    Starts.insert(Starts.begin() + first + 1, where.begin() + 1, where.end());
    for (auto s = Starts.begin() + first + pieces; s != Starts.end(); ++s) *s += shift;
    Length_ = length;
}

int TLineStarts::StartOf(HWND wnd, int line) const {
    if (Indexed) return line < Count() ? At(line) : Length_;
    return static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(line)));
}

int TLineStarts::LineAt(HWND wnd, int pos) const {
    if (!Indexed) return static_cast<int>(Send(wnd, EM_EXLINEFROMCHAR, 0, pos));
    const auto after = std::upper_bound(Starts.begin(), Starts.end(), pos);
    return after == Starts.begin() ? 0 : static_cast<int>(after - Starts.begin()) - 1;
}
