// Where things are in the editor's text: the selection, finding, lines and
// the caret's place, scrolling, and the ranges the history reads and replaces.
#include "RichEditQX.h"

#include <richedit.h>

#include <algorithm>

namespace {

// EM_FINDTEXT's option bits (FT_WHOLEWORD, FT_MATCHCASE), which MinGW's headers lack.
const WPARAM kFindWholeWord = 2;
const WPARAM kFindMatchCase = 4;

}  // namespace

int TCustomRichEditQX::FindText(const std::string& text, int start, int length, TSearchTypes options) const {
    FINDTEXTA find{};
    find.chrg.cpMin = start;
    find.chrg.cpMax = start + length;
    find.lpstrText = text.c_str();
    WPARAM flags = (options.WholeWord ? kFindWholeWord : 0) | (options.MatchCase ? kFindMatchCase : 0);
    return static_cast<int>(SendMessageA(Wnd, EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&find)));
}

int TCustomRichEditQX::SelStart() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

int TCustomRichEditQX::SelLength() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TCustomRichEditQX::SetSelStart(int start) { SetSel(start, start); }

void TCustomRichEditQX::SetSelLength(int length) {
    int start = SelStart();
    SetSel(start, start + length);
}

void TCustomRichEditQX::SetSel(int start, int end) {
    CHARRANGE range{start, end};
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void TCustomRichEditQX::SelectAll() {
    History.BreakGroup();
    SetSel(0, GetTextLen());
}

int TCustomRichEditQX::LineCount() const { return static_cast<int>(SendMessageA(Wnd, EM_GETLINECOUNT, 0, 0)); }

bool TCustomRichEditQX::LineIndexInStep() const {
    if (Lines.Empty()) return false;
    // Cheap checks, for a change that came unseen: the length, and the start
    // of the caret's line (the control finds that from the caret, not from the top).
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int caretLineStart = static_cast<int>(SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
    if (GetTextLen() == Lines.TextLength() && LineCount() == Lines.LineCount() &&
        (caretLineStart == Lines.LineStart(Lines.LineOf(range.cpMin)) ||
         caretLineStart == Lines.LineStart(Lines.LineOf(range.cpMax))))
        return true;
    DropLineIndex();
    return false;
}

int TCustomRichEditQX::LineFromChar(int charIndex) const {
    if (LineIndexInStep()) return Lines.LineOf(charIndex);
    return static_cast<int>(SendMessageA(Wnd, EM_EXLINEFROMCHAR, 0, charIndex));
}

int TCustomRichEditQX::LineIndex(int line) const {
    if (line >= 0 && LineIndexInStep()) return Lines.LineStart(line);
    return static_cast<int>(SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

void TCustomRichEditQX::ScrollCaret() {
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
    ShowCaretWhole();
}

// The control's own scrolling can stop short: Wine's leaves the scroll bars'
// share of the window out of account, so the caret's line, or a long line's
// end, stays hidden behind them. Measured against the client area here, the
// rest is scrolled.
void TCustomRichEditQX::ShowCaretWhole() {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    POINT at{};
    if (range.cpMin != range.cpMax && ::GetFocus() == Wnd) {
        GetCaretPos(&at);  // the end the user moved
    } else {
        POINTL p{};
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), range.cpMin);
        at = {p.x, p.y};
    }
    RECT view, format;
    GetClientRect(Wnd, &view);
    SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    IntersectRect(&view, &view, &format);
    int lineHeight = 16;
    if (HDC dc = GetDC(Wnd)) {
        HGDIOBJ old = SelectObject(dc, Font ? Font : GetStockObject(SYSTEM_FONT));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc, &metrics)) lineHeight = std::max<int>(1, metrics.tmHeight);
        SelectObject(dc, old);
        ReleaseDC(Wnd, dc);
    }
    int lines = 0;
    if (at.y < view.top) lines = -((view.top - at.y + lineHeight - 1) / lineHeight);
    else if (at.y + lineHeight > view.bottom) lines = (at.y + lineHeight - view.bottom + lineHeight - 1) / lineHeight;
    if (lines) SendMessageA(Wnd, EM_LINESCROLL, 0, lines);

    const int caretWidth = 2, margin = (view.right - view.left) / 4;
    int shift = 0;
    if (at.x < view.left) shift = at.x - view.left - margin;
    else if (at.x + caretWidth > view.right) shift = at.x + caretWidth - view.right + margin;
    if (!shift) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    if (!GetScrollInfo(Wnd, SB_HORZ, &info)) return;
    const int target = std::max(0, info.nPos + shift);
    // The message carries 16 bits; a wider range goes by its share of 0xFFFF.
    const int thumb = info.nMax > 0xFFFF ? MulDiv(target, 0xFFFF, info.nMax) : target;
    SendMessageA(Wnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, thumb), 0);
}

void TCustomRichEditQX::ShowLine(int line) {
    const int first = static_cast<int>(SendMessageA(Wnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The height of a line from two neighbours' positions (a line's height is the font's).
    POINTL top{}, next{};
    const int firstStart = LineIndex(first), nextStart = LineIndex(first + 1);
    RECT view{};
    SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&view));
    if (nextStart > firstStart) {
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), firstStart);
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next), nextStart);
    }
    const int height = static_cast<int>(next.y - top.y);
    if (height > 0) {
        const int shown = (view.bottom - view.top) / height;
        SendMessageA(Wnd, EM_LINESCROLL, 0, line - first - shown / 2);
    }
    ScrollCaret();
}

TCaretPos TCustomRichEditQX::CaretPos() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    TCaretPos pos;
    pos.Y = LineFromChar(range.cpMax);
    pos.X = range.cpMax - LineIndex(-1);
    return pos;
}

std::string TCustomRichEditQX::LineText(int line) const {
    const int start = LineIndex(line);
    if (start < 0) return "";
    const int length = static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, start, 0));
    if (length <= 0) return "";
    // EM_GETTEXTRANGE rather than EM_GETLINE: a line may be longer than its 16-bit size field.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    TEXTRANGEA range{};
    range.chrg.cpMin = start;
    range.chrg.cpMax = start + length;
    range.lpstrText = text.data();
    const int got = static_cast<int>(SendMessageA(Wnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
    return text;
}

bool TCustomRichEditQX::SelectedLines(int& first, int& last) const {
    int start = 0, end = 0;
    Selection(start, end);
    first = LineFromChar(start);
    last = LineFromChar(end);
    if (first == last) return false;
    if (end == LineIndex(last)) --last;
    return true;
}

// RICHED32's own window procedure is an ANSI one, on Windows and under Wine
// alike: EM_GETTEXTRANGE and EM_REPLACESEL carry the ANSI code page, with '?'
// for what it cannot hold. The selection's text goes in and out in UTF-16
// (code page 1200) whatever the procedure, so ranges are read and replaced
// through the selection.
std::u16string TCustomRichEditQX::Range(int start, int end) const {
    if (end <= start) return {};
    const auto n = static_cast<std::size_t>(end - start);
    CHARRANGE was{};
    SendMessageW(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&was));
    const bool move = was.cpMin != start || was.cpMax != end;
    ++Peeking;
    if (move) {
        CHARRANGE range{start, end};
        SendMessageW(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    std::u16string text(n + 1, u'\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>((n + 1) * sizeof(char16_t));
    how.flags = GT_SELECTION;
    how.codepage = 1200;
    const auto got = static_cast<int>(
        SendMessageW(Wnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.data())));
    if (move) SendMessageW(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&was));
    --Peeking;
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, static_cast<int>(n))));
    return text;
}

int TCustomRichEditQX::Replace(int start, int end, const std::u16string& text) {
    // Setting a selection costs a search from the top of the text under Wine;
    // typing replaces the selection there already.
    int selStart = 0, selEnd = 0;
    Selection(selStart, selEnd);
    if (selStart != start || selEnd != end) SetSel(start, end);
    // The line index follows the change; a use checks it is still in step.
    if (!Lines.Empty()) {
        std::string shape(text.size(), 'x');
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == u'\r' || text[i] == u'\n') shape[i] = static_cast<char>(text[i]);
        Lines.Replace(start, end, shape);
    }
    // The count of characters it put in: 0 for an empty text, or where the
    // message is not known (a control before version 2.0), which takes the code page.
    SETTEXTEX how{ST_SELECTION, 1200};
    if (!SendMessageW(Wnd, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str())) &&
        !text.empty()) {
        const auto* w = reinterpret_cast<const wchar_t*>(text.data());
        const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
        SendMessageA(Wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(bytes.c_str()));
    }
    int caretStart = 0, caret = 0;
    Selection(caretStart, caret);
    return caret;
}

void TCustomRichEditQX::Selection(int& start, int& end) const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // Wine's control counts a whole-text selection to past the end (its last
    // paragraph mark); the history works in the text's own positions.
    const int length = GetTextLen();
    start = std::clamp(static_cast<int>(range.cpMin), 0, length);
    end = std::clamp(static_cast<int>(range.cpMax), start, length);
}

void TCustomRichEditQX::Select(int start, int end) {
    SetSel(start, end);
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
}
