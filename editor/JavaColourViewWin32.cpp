// Java colours on the editor's control: the lines in view, reading the text,
// the index of line starts, the idle work, and setting the colours.
#include <windows.h>
#include <richedit.h>

#include <algorithm>

#include "JavaColourInternalWin32.h"
#include "JavaColourWin32.h"
#include "RichEditStream.h"

using namespace java_colour;

namespace {

// Lines lexed, and lines coloured ahead of the view, in one idle step: each step
// is short, so a key typed meanwhile waits little.
const int kStateChunk = 3000;
const int kAheadChunk = 6;

}  // namespace

int TJavaColour::StartOf(HWND wnd, int line) const {
    if (Indexed) return line < static_cast<int>(Starts.size()) ? Starts[static_cast<std::size_t>(line)] : Length;
    return static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(line)));
}

int TJavaColour::LineAt(HWND wnd, int pos) const {
    if (!Indexed) return static_cast<int>(Send(wnd, EM_EXLINEFROMCHAR, 0, pos));
    const auto after = std::upper_bound(Starts.begin(), Starts.end(), pos);
    return after == Starts.begin() ? 0 : static_cast<int>(after - Starts.begin()) - 1;
}

// The index from the whole text, once, in idle time, where an edit we could
// not follow dropped it.
void TJavaColour::BuildIndex(HWND wnd) {
    IndexTried = true;
    const int length = RichTextLength(wnd);
    const std::string text = Range(wnd, 0, length);
    if (static_cast<int>(text.size()) != length) return;
    std::vector<int> starts;
    SplitLines(text, &starts, nullptr);
    const int last = static_cast<int>(starts.size()) - 1;
    if (last + 1 != static_cast<int>(Lines.size()) || LineCount(wnd) != last + 1 ||
        Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(last)) != starts.back())
        return;
    Starts = std::move(starts);
    Length = length;
    Indexed = true;
}

bool TJavaColour::ViewAsSeen(HWND wnd) const {
    if (!ViewKnown || SeenCount != static_cast<int>(Lines.size()) || GetScrollPos(wnd, SB_VERT) != SeenScroll)
        return false;
    RECT area{};
    GetClientRect(wnd, &area);
    return EqualRect(&area, &SeenArea) != 0;
}

void TJavaColour::VisibleLines(HWND wnd, int* first, int* last) const {
    const int count = static_cast<int>(Lines.size());
    *first = std::clamp(static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE)), 0, count - 1);
    RECT area{};
    GetClientRect(wnd, &area);
    POINTL corner{area.right > 0 ? area.right - 1 : 0, area.bottom > 0 ? area.bottom - 1 : 0};
    const int pos = static_cast<int>(Send(wnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
    // One more line: the last may show only in part.
    *last = std::clamp(LineAt(wnd, std::max(pos, 0)) + 1, *first, count - 1);
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
    out->text.clear();
    out->starts.clear();
    out->ends.clear();
    out->where.clear();
    // The lines we know need no reading.
    if (Indexed && std::all_of(Lines.begin() + first, Lines.begin() + last + 1, [](const Line& l) { return l.read; })) {
        for (int l = first; l <= last; ++l) {
            out->where.push_back(Starts[static_cast<std::size_t>(l)]);
            out->starts.push_back(static_cast<int>(out->text.size()));
            out->text += Lines[static_cast<std::size_t>(l)].text;
            out->ends.push_back(static_cast<int>(out->text.size()));
            out->text += '\n';
        }
        return;
    }
    const int count = static_cast<int>(Lines.size());
    const int base = StartOf(wnd, first);
    const int end = last + 1 < count ? StartOf(wnd, last + 1) : static_cast<int>(RichTextLength(wnd));
    out->text = Range(wnd, base, end);
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
        const int start = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(l)));
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

std::string TJavaColour::Desired(std::string_view text, TLexState start, TLexState* next) const {
    std::vector<TJavaSpan> spans;
    const TLexState after = LexJavaLine(text, start, spans);
    if (next) *next = after;
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
        const std::string_view s = std::string_view(text).substr(static_cast<std::size_t>(starts[l - first]),
                                                                 static_cast<std::size_t>(ends[l - first] - starts[l - first]));
        if (!line.read) {
            line.text.assign(s);
            line.read = true;
        }
        const auto state = static_cast<std::uint8_t>(States.StartOf(l));
        if (!force && line.colouredFrom == state && line.shown != Shown::Unknown) continue;
        const std::string want = Desired(s, States.StartOf(l));
        const int n = static_cast<int>(s.size());
        std::string shown = line.shown == Shown::Plain ? std::string(s.size(), static_cast<char>(TJavaToken::Plain))
                                                       : line.colours;
        if (line.shown == Shown::Unknown || static_cast<int>(shown.size()) != n) shown.assign(s.size(), kUnknownColour);
        PlanRuns(s, want, shown, where[l - first], runs);
        const bool plain = std::all_of(shown.begin(), shown.end(), [](char c) { return c == 0; });
        line.shown = plain ? Shown::Plain : Shown::Listed;
        line.colours = plain ? std::string() : std::move(shown);
        line.colouredFrom = state;
    }
    Apply(wnd, runs, quiet);
}

void TJavaColour::PlanRuns(std::string_view s, const std::string& want, std::string& shown, int at,
                           std::vector<Run>& runs) {
    const int n = static_cast<int>(s.size());
    // Blanks show no colour: any they have will do, and runs of one colour
    // reach across them, which saves calls.
    auto need = [&](int i) { return shown[i] != want[i] && !(IsBlank(s[i]) && shown[i] != kUnknownColour); };
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
}

void TJavaColour::ColourView(HWND wnd, bool idle) {
    if (!On || Lines.empty()) return;
    if (static_cast<int>(Lines.size()) != LineCount(wnd) || (Indexed && RichTextLength(wnd) != Length)) {
        // A change we did not see come: nothing shown is known any more.
        Reset(wnd, Shown::Unknown);
    }
    const bool asSeen = ViewAsSeen(wnd);
    if (asSeen && !ViewDirty) return;
    ViewDirty = false;
    int first = SeenFirst, last = SeenLast;
    if (!asSeen) VisibleLines(wnd, &first, &last);
    Resolve(wnd, last);
    for (int l = first; l <= last; ++l) {
        const Line& line = Lines[static_cast<std::size_t>(l)];
        if (line.colouredFrom != static_cast<std::uint8_t>(States.StartOf(l)) || line.shown == Shown::Unknown) {
            ColourLines(wnd, l, last, false, idle);
            break;
        }
    }
    // Colouring puts the view back where it was, so the view is as looked at.
    ViewKnown = true;
    SeenFirst = first;
    SeenLast = last;
    SeenCount = static_cast<int>(Lines.size());
    SeenScroll = GetScrollPos(wnd, SB_VERT);
    GetClientRect(wnd, &SeenArea);
    StartIdle(wnd);
}

bool TJavaColour::IdleStep(HWND wnd) {
    if (ShiftDown()) return true;
    ColourView(wnd, false);
    const int count = static_cast<int>(Lines.size());
    if (States.Next() < count) {
        Resolve(wnd, States.Next() - 1 + kStateChunk);
        return true;
    }
    if (!Indexed && !IndexTried) {
        BuildIndex(wnd);
        return true;
    }
    // A page ahead of the view and one behind it, so that paging finds them coloured.
    int first = 0, last = 0;
    if (ViewAsSeen(wnd)) {
        first = SeenFirst;
        last = SeenLast;
    } else {
        VisibleLines(wnd, &first, &last);
    }
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
    // The first line in view, to put the view back if selecting a range scrolls it:
    // as last looked at, where the view has not moved since.
    const int top = ViewAsSeen(wnd) ? SeenFirst : static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    const int scroll = GetScrollPos(wnd, SB_VERT);
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
    if (GetScrollPos(wnd, SB_VERT) != scroll) {
        const int nowTop = static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
        if (nowTop != top) Send(wnd, EM_LINESCROLL, 0, top - nowTop);
    }
    if (GetScrollPos(wnd, SB_HORZ) != left) Send(wnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, left));
    Send(wnd, EM_SETMODIFY, modified);
    if (redrawOff) {
        Send(wnd, WM_SETREDRAW, TRUE);
        InvalidateRect(wnd, nullptr, FALSE);
    }
    Send(wnd, EM_SETEVENTMASK, 0, mask);
}
