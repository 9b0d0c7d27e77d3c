#include "JavaColourWin32.h"

#include <richedit.h>

#include <algorithm>
#include <optional>

namespace {

const UINT_PTR kIdleTimer = 0x51C0;
const UINT kIdleMs = 10;
// Lines lexed, and lines coloured ahead of the view, in one idle step: each step
// is short, so a key typed meanwhile waits little.
const int kStateChunk = 3000;
const int kAheadChunk = 6;

// Readable on white; the plain text keeps the font's own colour.
COLORREF Palette(char kind) {
    switch (static_cast<TJavaToken>(kind)) {
    case TJavaToken::Keyword: return RGB(0, 0, 160);
    case TJavaToken::String: return RGB(163, 21, 21);
    case TJavaToken::Comment: return RGB(0, 120, 0);
    case TJavaToken::Number: return RGB(0, 112, 128);
    case TJavaToken::Annotation: return RGB(128, 0, 128);
    default: return 0;
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Messages after which the control's text may differ. Keys are not among them:
// the editor makes their changes itself, by EM_SETTEXTEX.
bool MayEdit(UINT msg) {
    switch (msg) {
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETTEXT:
    case EM_UNDO:
    case EM_REDO:
    case EM_REPLACESEL:
    case EM_STREAMIN:
    case EM_SETTEXTEX:
        return true;
    }
    return false;
}

// Edits that need not end at the caret: the whole text's colours are taken as unknown.
// The editor's own edits replace the selection by EM_SETTEXTEX.
bool EditsAnywhere(UINT msg, WPARAM wParam) {
    if (msg == EM_SETTEXTEX)
        return !wParam || !(reinterpret_cast<const SETTEXTEX*>(wParam)->flags & ST_SELECTION);
    switch (msg) {
    case WM_UNDO:
    case WM_SETTEXT:
    case EM_UNDO:
    case EM_REDO:
    case EM_STREAMIN: return true;
    }
    return false;
}

// Messages after which other lines may be in view.
bool MayScroll(UINT msg, WPARAM wParam) {
    switch (msg) {
    case WM_KEYDOWN:
        return wParam >= VK_PRIOR && wParam <= VK_DOWN;
    case WM_CHAR:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_SIZE:
    case WM_SHOWWINDOW:
    case WM_LBUTTONUP:
    case WM_TIMER:  // the control's own scrolling while the mouse selects
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_EXSETSEL:
    case EM_SETSEL:
        return true;
    }
    return false;
}

// While Shift is held, Wine's control takes our selections for the user's and
// the colours land elsewhere or nowhere: the pass waits for its release.
bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0 || GetAsyncKeyState(VK_SHIFT) < 0; }

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(wnd, msg, wParam, lParam);
}

int LineCount(HWND wnd) { return std::max(static_cast<int>(Send(wnd, EM_GETLINECOUNT)), 1); }

// Our own messages to the control come back through its window procedure: while
// a pass works, they are the pass's, not the user's.
struct BusyScope {
    bool& busy;
    explicit BusyScope(bool& flag) : busy(flag) { busy = true; }
    ~BusyScope() { busy = false; }
};
int LineStart(HWND wnd, int line) { return static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(line))); }
int LineOf(HWND wnd, int pos) { return static_cast<int>(Send(wnd, EM_EXLINEFROMCHAR, 0, pos)); }

}  // namespace

int RichTextLength(HWND wnd) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n = static_cast<int>(SendMessageW(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    // 0 from a control that does not know the message, or a refusal: the slow way.
    return n > 0 ? n : static_cast<int>(SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0));
}

void TJavaColour::SetPlainColour(COLORREF colour, bool automatic) {
    Plain = colour;
    PlainAuto = automatic;
}

void TJavaColour::SetEnabled(HWND wnd, bool on) {
    if (on == On) return;
    On = on;
    if (!wnd || Busy) return;
    BusyScope busy(Busy);
    if (!on) {
        Apply(wnd, {{0, -1, static_cast<char>(TJavaToken::Plain)}}, true);
        KillTimer(wnd, kIdleTimer);
        IdleOn = false;
    }
    Reset(wnd, Shown::Plain);
    if (on) ColourView(wnd, false);
}

void TJavaColour::Reset(HWND wnd, Shown shown) {
    const int count = LineCount(wnd);
    Lines.assign(static_cast<std::size_t>(count), Line{shown, kNone, {}});
    States.Reset(count);
    Editing = false;
    ViewDirty = true;
}

void TJavaColour::Loaded(HWND wnd) {
    BusyScope busy(Busy);
    IdleOn = false;
    Reset(wnd, Shown::Plain);
    if (On) ColourView(wnd, false);
}

void TJavaColour::AllPlain(HWND wnd) {
    if (!wnd || Busy) return;
    BusyScope busy(Busy);
    Reset(wnd, Shown::Plain);
    if (On) ColourView(wnd, false);
}

void TJavaColour::Before(HWND wnd, UINT msg, WPARAM wParam) {
    if (!On || Busy || Editing || !MayEdit(msg)) return;
    BusyScope busy(Busy);
    Editing = true;
    CaretEdit = !EditsAnywhere(msg, wParam);
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&SelBefore));
    LengthBefore = static_cast<int>(RichTextLength(wnd));
}

void TJavaColour::After(HWND wnd, UINT msg, WPARAM wParam) {
    if (!On || Busy) return;
    BusyScope busy(Busy);
    if (Editing) {
        // Only once the editing message is through: the main window's change
        // handler may ask the control things in between.
        if (MayEdit(msg)) {
            Editing = false;
            Edited(wnd);
        }
        return;
    }
    if (MayScroll(msg, wParam)) ColourView(wnd, false);
}

bool TJavaColour::Timer(HWND wnd, UINT msg, WPARAM wParam) {
    if (msg != WM_TIMER || wParam != kIdleTimer) return false;
    if (Busy) return true;
    BusyScope busy(Busy);
    if (!On || !IdleStep(wnd)) {
        KillTimer(wnd, kIdleTimer);
        IdleOn = false;
    }
    return true;
}

void TJavaColour::StartIdle(HWND wnd) {
    if (IdleOn) return;
    IdleOn = SetTimer(wnd, kIdleTimer, kIdleMs, nullptr) != 0;
}

namespace {

// n characters of a line's shown colours from from, if they are known.
std::optional<std::string> Take(int shown, const std::string& colours, int from, int n, bool fromEnd) {
    if (n <= 0) return std::string();
    if (shown == 0) return std::string(static_cast<std::size_t>(n), static_cast<char>(TJavaToken::Plain));
    if (shown != 1) return std::nullopt;
    const int size = static_cast<int>(colours.size());
    if (fromEnd) from = size - n;
    if (from < 0 || from + n > size) return std::nullopt;
    return colours.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(n));
}

}  // namespace

void TJavaColour::Edited(HWND wnd) {
    CHARRANGE after{};
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
    const int count = LineCount(wnd);
    const int delta = count - static_cast<int>(Lines.size());
    if (delta == 0 && after.cpMin == SelBefore.cpMin && after.cpMax == SelBefore.cpMax &&
        static_cast<int>(RichTextLength(wnd)) == LengthBefore)
        return;  // a key that changed nothing
    const int lo = std::min(SelBefore.cpMin, after.cpMin);
    const int first = LineOf(wnd, lo), last = LineOf(wnd, after.cpMax), lastBefore = last - delta;
    if (!CaretEdit || first > last || lastBefore < first || lastBefore >= static_cast<int>(Lines.size())) {
        Reset(wnd, Shown::Unknown);
        ColourView(wnd, false);
        return;
    }
    // What the edited lines show now: the text before the edit and after the
    // caret kept its colours; what came in between took the colour of the
    // character before it (at a line's start, after it), as typed text does.
    Text read;
    ReadLines(wnd, first, last, &read);
    const std::vector<int>&starts = read.starts, &ends = read.ends, &where = read.where;
    const Line& oldFirst = Lines[static_cast<std::size_t>(first)];
    const Line& oldLast = Lines[static_cast<std::size_t>(lastBefore)];
    const int kept = std::max(0, ends.back() - starts.back() - (static_cast<int>(after.cpMax) - where.back()));
    const int prefix = static_cast<int>(lo) - where.front();
    std::vector<Line> fresh(static_cast<std::size_t>(last - first + 1));
    for (int l = first; l <= last; ++l) {
        const int length = ends[l - first] - starts[l - first];
        const int head = l == first ? std::min(prefix, length) : 0;
        const int tail = l == last ? std::min(kept, length - head) : 0;
        auto h = Take(static_cast<int>(oldFirst.shown), oldFirst.colours, 0, head, false);
        auto t = Take(static_cast<int>(oldLast.shown), oldLast.colours, 0, tail, true);
        Line& line = fresh[static_cast<std::size_t>(l - first)];
        if (!h || !t) {
            line.shown = Shown::Unknown;
            continue;
        }
        line.shown = Shown::Listed;
        line.colours = *h + std::string(static_cast<std::size_t>(length - head - tail), kUnknownColour) + *t;
        if (head < length - tail) {
            const char inherited = head > 0 ? line.colours[head - 1] : tail > 0 ? line.colours[length - tail] : kUnknownColour;
            std::fill(line.colours.begin() + head, line.colours.begin() + (length - tail), inherited);
        }
    }
    Lines.erase(Lines.begin() + first, Lines.begin() + lastBefore + 1);
    Lines.insert(Lines.begin() + first, fresh.begin(), fresh.end());
    States.Replace(first, lastBefore - first + 1, last - first + 1);
    ViewDirty = true;  // lines below may start in another state now
    ColourLines(wnd, first, last, false, false, &read);
    ColourView(wnd, false);
}

void TJavaColour::VisibleLines(HWND wnd, int* first, int* last) const {
    const int count = static_cast<int>(Lines.size());
    *first = std::clamp(static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE)), 0, count - 1);
    RECT area{};
    GetClientRect(wnd, &area);
    POINTL corner{area.right > 0 ? area.right - 1 : 0, area.bottom > 0 ? area.bottom - 1 : 0};
    const int pos = static_cast<int>(Send(wnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
    // One more line: the last may show only in part.
    *last = std::clamp(LineOf(wnd, std::max(pos, 0)) + 1, *first, count - 1);
}

std::string TJavaColour::Range(HWND wnd, int start, int end) const {
    if (end <= start) return {};
    std::string text(static_cast<std::size_t>(end - start) + 1, '\0');
    TEXTRANGEA range{};
    range.chrg.cpMin = start;
    range.chrg.cpMax = end;
    range.lpstrText = text.data();
    const int got = static_cast<int>(Send(wnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, end - start)));
    return text;
}

void TJavaColour::ReadLines(HWND wnd, int first, int last, Text* out) const {
    const int count = LineCount(wnd);
    const int base = LineStart(wnd, first);
    const int end = last + 1 < count ? LineStart(wnd, last + 1) : static_cast<int>(RichTextLength(wnd));
    out->text = Range(wnd, base, end);
    out->starts.clear();
    out->ends.clear();
    out->where.clear();
    std::size_t pos = 0, lineEnd = 0;
    for (int l = first; l <= last; ++l) {
        out->starts.push_back(static_cast<int>(pos));
        out->where.push_back(base + static_cast<int>(pos));
        pos = NextJavaLine(out->text, pos, &lineEnd);
        out->ends.push_back(static_cast<int>(lineEnd));
    }
    if (pos == out->text.size() && (last + 1 >= count || lineEnd < pos)) return;
    // The control broke these lines otherwise than the lexer would: line by line.
    out->text.clear();
    out->starts.clear();
    out->ends.clear();
    out->where.clear();
    for (int l = first; l <= last; ++l) {
        const int start = LineStart(wnd, l);
        out->where.push_back(start);
        out->starts.push_back(static_cast<int>(out->text.size()));
        out->text += Range(wnd, start, start + static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(start))));
        out->ends.push_back(static_cast<int>(out->text.size()));
        out->text += '\n';
    }
}

void TJavaColour::Resolve(HWND wnd, int line) {
    const int count = static_cast<int>(Lines.size());
    line = std::min(line, count - 1);
    while (States.Next() <= line) {
        // No further than asked: after an edit, that is the edited lines, and the
        // lines below keep their states unless the edit changed how they start.
        const int from = States.Next() - 1, to = std::min({from + kStateChunk, line, count - 1});
        Text read;
        ReadLines(wnd, from, to, &read);
        for (int l = from; l <= to && States.Next() - 1 <= to && States.Next() < count; ++l) {
            if (l != States.Next() - 1) continue;  // past lines whose state held
            const std::string_view all(read.text);
            States.Advance(all.substr(static_cast<std::size_t>(read.starts[l - from]),
                                      static_cast<std::size_t>(read.ends[l - from] - read.starts[l - from])));
        }
    }
}

std::string TJavaColour::Desired(std::string_view text, TLexState start) const {
    std::vector<TJavaSpan> spans;
    LexJavaLine(text, start, spans);
    std::string colours(text.size(), static_cast<char>(TJavaToken::Plain));
    for (const auto& span : spans)
        std::fill_n(colours.begin() + span.Start, span.Length, static_cast<char>(span.Kind));
    return colours;
}

void TJavaColour::ColourLines(HWND wnd, int first, int last, bool force, bool quiet, const Text* known) {
    if (ShiftHeld()) {
        ViewDirty = true;
        StartIdle(wnd);
        return;
    }
    Resolve(wnd, last);
    Text read;
    if (!known) ReadLines(wnd, first, last, &read);
    const Text& lines = known ? *known : read;
    const std::string& text = lines.text;
    const std::vector<int>&starts = lines.starts, &ends = lines.ends, &where = lines.where;
    std::vector<Run> runs;
    for (int l = first; l <= last; ++l) {
        Line& line = Lines[static_cast<std::size_t>(l)];
        const auto state = static_cast<std::uint8_t>(States.StartOf(l));
        if (!force && line.colouredFrom == state && line.shown != Shown::Unknown) continue;
        const std::string_view s = std::string_view(text).substr(static_cast<std::size_t>(starts[l - first]),
                                                                 static_cast<std::size_t>(ends[l - first] - starts[l - first]));
        const std::string want = Desired(s, States.StartOf(l));
        const int n = static_cast<int>(s.size());
        std::string shown = line.shown == Shown::Plain ? std::string(s.size(), static_cast<char>(TJavaToken::Plain))
                                                       : line.colours;
        if (line.shown == Shown::Unknown || static_cast<int>(shown.size()) != n) shown.assign(s.size(), kUnknownColour);
        // Blanks show no colour: any they have will do, and runs of one colour
        // reach across them, which saves calls.
        auto need = [&](int i) { return shown[i] != want[i] && !(IsBlank(s[i]) && shown[i] != kUnknownColour); };
        const int at = where[l - first];
        for (int i = 0; i < n;) {
            if (!need(i)) {
                ++i;
                continue;
            }
            const char colour = want[i];
            int end = i + 1;
            for (int k = i + 1; k < n; ++k) {
                if (need(k) && want[k] == colour) end = k + 1;
                else if (need(k) || !IsBlank(s[k])) break;
            }
            std::fill(shown.begin() + i, shown.begin() + end, colour);
            runs.push_back({at + i, at + end, colour});
            i = end;
        }
        const bool plain = std::all_of(shown.begin(), shown.end(), [](char c) { return c == 0; });
        line.shown = plain ? Shown::Plain : Shown::Listed;
        line.colours = plain ? std::string() : std::move(shown);
        line.colouredFrom = state;
    }
    Apply(wnd, runs, quiet);
}

void TJavaColour::ColourView(HWND wnd, bool idle) {
    if (!On || Lines.empty()) return;
    if (static_cast<int>(Lines.size()) != LineCount(wnd)) {
        // A change we did not see come: nothing shown is known any more.
        Reset(wnd, Shown::Unknown);
    }
    const int top = static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    RECT area{};
    GetClientRect(wnd, &area);
    if (!ViewDirty && top == SeenFirst && SeenCount == static_cast<int>(Lines.size()) && EqualRect(&area, &SeenArea))
        return;
    ViewDirty = false;
    int first = 0, last = 0;
    VisibleLines(wnd, &first, &last);
    Resolve(wnd, last);
    for (int l = first; l <= last; ++l) {
        const Line& line = Lines[static_cast<std::size_t>(l)];
        if (line.colouredFrom != static_cast<std::uint8_t>(States.StartOf(l)) || line.shown == Shown::Unknown) {
            ColourLines(wnd, l, last, false, idle);
            break;
        }
    }
    // Colouring can scroll (and puts the view back): the view is taken as it is now.
    SeenFirst = static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    SeenCount = static_cast<int>(Lines.size());
    SeenArea = area;
    StartIdle(wnd);
}

bool TJavaColour::IdleStep(HWND wnd) {
    if (ShiftHeld()) return true;
    ColourView(wnd, false);
    const int count = static_cast<int>(Lines.size());
    if (States.Next() < count) {
        Resolve(wnd, States.Next() - 1 + kStateChunk);
        return true;
    }
    // A page ahead of the view and one behind it, so that paging finds them coloured.
    int first = 0, last = 0;
    VisibleLines(wnd, &first, &last);
    const int page = last - first + 1;
    const int ranges[2][2] = {{last + 1, std::min(last + page, count - 1)}, {std::max(first - page, 0), first - 1}};
    for (const auto& range : ranges) {
        for (int l = range[0]; l <= range[1]; ++l) {
            const Line& line = Lines[static_cast<std::size_t>(l)];
            if (line.colouredFrom != static_cast<std::uint8_t>(States.StartOf(l)) || line.shown == Shown::Unknown) {
                ColourLines(wnd, l, std::min(l + kAheadChunk - 1, range[1]), false, true);
                return true;
            }
        }
    }
    return false;
}

void TJavaColour::Apply(HWND wnd, const std::vector<Run>& runs, bool quiet) {
    if (runs.empty()) return;
    const LRESULT mask = Send(wnd, EM_SETEVENTMASK, 0, 0);
    CHARRANGE selection{};
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const int top = static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    const int left = GetScrollPos(wnd, SB_HORZ);
    const bool modified = Send(wnd, EM_GETMODIFY) != 0;
    // Drawing off only where lines out of view are coloured (selecting them
    // scrolls) and only if it is on: the key logic turns it off around an Enter.
    const bool redrawOff = quiet && (GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (redrawOff) Send(wnd, WM_SETREDRAW, FALSE);
    for (const Run& run : runs) {
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        const bool plain = run.colour == static_cast<char>(TJavaToken::Plain);
        if (plain && PlainAuto) format.dwEffects = CFE_AUTOCOLOR;
        format.crTextColor = plain ? Plain : Palette(run.colour);
        if (run.end < 0) {
            Send(wnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
            continue;
        }
        CHARRANGE range{run.start, run.end};
        Send(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        Send(wnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    // Selecting a range scrolls it into view: the selection and the view go back as they were.
    Send(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const int nowTop = static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    if (nowTop != top) Send(wnd, EM_LINESCROLL, 0, top - nowTop);
    if (GetScrollPos(wnd, SB_HORZ) != left) Send(wnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, left));
    Send(wnd, EM_SETMODIFY, modified);
    if (redrawOff) {
        Send(wnd, WM_SETREDRAW, TRUE);
        InvalidateRect(wnd, nullptr, FALSE);
    }
    Send(wnd, EM_SETEVENTMASK, 0, mask);
}
