// Java colours on the editor's control: switching them on and off, a new text,
// the edits as they happen, the lines in view, the idle work, and setting the
// colours.
#include "JavaColourWin32.h"

#include <richedit.h>

#include <algorithm>
#include <optional>

#include "JavaColourInternalWin32.h"
#include "RichEditStream.h"

using namespace java_colour;

namespace {

const UINT_PTR kIdleTimer = 0x51C0;
const UINT kIdleMs = 10;

// Lines lexed, and lines coloured ahead of the view, in one idle step: each step
// is short, so a key typed meanwhile waits little.
const int kStateChunk = 3000;
const int kAheadChunk = 6;

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

void java_colour::SplitLines(std::string_view text, std::vector<int>* starts, std::vector<int>* ends) {
    std::size_t pos = 0, lineEnd = 0;
    do {
        starts->push_back(static_cast<int>(pos));
        pos = NextJavaLine(text, pos, &lineEnd);
        if (ends) ends->push_back(static_cast<int>(lineEnd));
    } while (pos < text.size() || lineEnd < pos);
}

std::string java_colour::LineColours(std::string_view text, TLexState start, TLexState* next) {
    std::vector<TJavaSpan> spans;
    const TLexState after = LexJavaLine(text, start, spans);
    if (next) *next = after;
    std::string colours(text.size(), static_cast<char>(TJavaToken::Plain));
    for (const auto& span : spans)
        std::fill_n(colours.begin() + span.Start, span.Length, static_cast<char>(span.Kind));
    return colours;
}

void java_colour::PlanRuns(std::string_view s, const std::string& want, std::string& shown, int at,
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

TJavaColour::Check TJavaColour::PresetWorks = TJavaColour::Check::NotYet;

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
    // Edits while off went unseen: where lines start is asked again.
    Reset(wnd, Shown::Plain);
    if (on) ColourView(wnd, false);
}

void TJavaColour::Reset(HWND wnd, Shown shown, bool keepIndex) {
    const int count = LineCount(wnd);
    Lines.assign(static_cast<std::size_t>(count), Line{shown, kNone, false, {}, {}});
    States.Reset(count);
    Editing = false;
    View.Forget();
    if (!keepIndex || Starts.Count() != count) Starts.Drop();
}

void TJavaColour::Loaded(HWND wnd, const std::vector<int>* starts, const FirstScreen* first) {
    BusyScope busy(Busy);
    IdleOn = false;
    Reset(wnd, Shown::Plain);
    if (starts && starts->size() == Lines.size()) Starts.Keep(*starts, RichTextLength(wnd));
    // Lines that came in coloured: as they show, for the state they start in.
    const std::size_t planned = first ? std::min(first->colours.size(), Lines.size()) : 0;
    for (std::size_t l = 0; l < planned; ++l) {
        Line& line = Lines[l];
        line.colours = first->colours[l];
        const bool plain = std::all_of(line.colours.begin(), line.colours.end(), [](char c) { return c == 0; });
        line.shown = plain ? Shown::Plain : Shown::Listed;
        if (plain) line.colours.clear();
        line.colouredFrom = first->states[l];
    }
    if (On) ColourView(wnd, false);
}

void TJavaColour::AllPlain(HWND wnd) {
    if (!wnd || Busy) return;
    BusyScope busy(Busy);
    Reset(wnd, Shown::Plain, true);
    if (On) ColourView(wnd, false);
}

void TJavaColour::Before(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!On || Busy || Editing || !MayEdit(msg)) return;
    BusyScope busy(Busy);
    Editing = true;
    CaretEdit = !EditsAnywhere(msg, wParam);
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&SelBefore));
    LengthBefore = static_cast<int>(RichTextLength(wnd));
    Preset = static_cast<char>(kNone);
    InsertedKnown = false;
    if (msg == EM_SETTEXTEX && CaretEdit && lParam && reinterpret_cast<const SETTEXTEX*>(wParam)->codepage == 1200) {
        const auto* text = reinterpret_cast<const char16_t*>(lParam);
        Inserted = Narrow(text, std::char_traits<char16_t>::length(text));
        InsertedKnown = true;
        PresetColour(wnd);
    }
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

// Text typed at the caret takes the colour of the character before it. Where the
// text will show another colour once lexed, that colour is made the insertion
// point's first, so that most keys need no colouring afterwards.
void TJavaColour::PresetColour(HWND wnd) {
    if (!Starts.Kept() || PresetWorks == Check::Fails || SelBefore.cpMin != SelBefore.cpMax || Inserted.empty() ||
        Inserted.find_first_of("\r\n") != std::string::npos || ShiftHeld())
        return;
    const int line = Starts.LineAt(wnd, SelBefore.cpMin);
    const Line& was = Lines[static_cast<std::size_t>(line)];
    const int at = SelBefore.cpMin - Starts.At(line);
    if (!was.read || line >= States.Next() || at > static_cast<int>(was.text.size())) return;
    const std::string text = was.text.substr(0, static_cast<std::size_t>(at)) + Inserted + was.text.substr(static_cast<std::size_t>(at));
    const std::string want = LineColours(text, States.StartOf(line));
    const char colour = want[static_cast<std::size_t>(at)];
    if (want.find_first_not_of(colour, static_cast<std::size_t>(at)) < static_cast<std::size_t>(at) + Inserted.size()) return;
    // What it would take: the colour shown before it, at a line's start after it.
    const auto shown = Take(static_cast<int>(was.shown), was.colours, at > 0 ? at - 1 : 0, 1, false);
    if (shown && (*shown)[0] == colour) return;
    CHARFORMATA format = FormatOf(colour);
    if (Send(wnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format))) Preset = colour;
}

// Lines [first, first + removed) became fresh: in place where as many came as went,
// which spares moving every line below.
void TJavaColour::ReplaceLines(int first, int removed, std::vector<Line>& fresh) {
    const auto at = Lines.begin() + first;
    if (removed == static_cast<int>(fresh.size())) {
        std::move(fresh.begin(), fresh.end(), at);
        return;
    }
    Lines.erase(at, at + removed);
    Lines.insert(Lines.begin() + first, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
}

void TJavaColour::Edited(HWND wnd) {
    CHARRANGE after{};
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
    const int length = static_cast<int>(RichTextLength(wnd));
    const int lo = std::min(SelBefore.cpMin, after.cpMin);
    if (after.cpMin == SelBefore.cpMin && after.cpMax == SelBefore.cpMax && length == LengthBefore &&
        LineCount(wnd) == static_cast<int>(Lines.size()))
        return;  // a key that changed nothing
    if (CaretEdit && Starts.Kept() && EditedInPlace(wnd, lo, after, length)) return;
    // Lines and positions from the control from here on, until the index is made again.
    Starts.Drop();
    const int count = LineCount(wnd);
    const int delta = count - static_cast<int>(Lines.size());
    const int first = Starts.LineAt(wnd, lo), last = Starts.LineAt(wnd, after.cpMax), lastBefore = last - delta;
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
        const int n = ends[l - first] - starts[l - first];
        const int head = l == first ? std::min(prefix, n) : 0;
        const int tail = l == last ? std::min(kept, n - head) : 0;
        auto h = Take(static_cast<int>(oldFirst.shown), oldFirst.colours, 0, head, false);
        auto t = Take(static_cast<int>(oldLast.shown), oldLast.colours, 0, tail, true);
        Line& line = fresh[static_cast<std::size_t>(l - first)];
        if (!h || !t) {
            line.shown = Shown::Unknown;
            continue;
        }
        line.shown = Shown::Listed;
        line.colours = *h + std::string(static_cast<std::size_t>(n - head - tail), kUnknownColour) + *t;
        if (head < n - tail) {
            const char inherited = Preset != static_cast<char>(kNone) ? Preset
                                   : head > 0                         ? line.colours[head - 1]
                                   : tail > 0                         ? line.colours[n - tail]
                                                                      : kUnknownColour;
            std::fill(line.colours.begin() + head, line.colours.begin() + (n - tail), inherited);
        }
    }
    ReplaceLines(first, lastBefore - first + 1, fresh);
    States.Replace(first, lastBefore - first + 1, last - first + 1);
    View.SetDirty(true);  // lines below may start in another state now
    ColourLines(wnd, first, last, false, false, &read);
    ColourView(wnd, false);
}

// An edit at the caret worked out from our index, and from what we know of the
// lines it touched and the text it put in, where we know them: false, with
// nothing changed, where the control's lines turn out otherwise.
bool TJavaColour::EditedInPlace(HWND wnd, int lo, const CHARRANGE& after, int length) {
    const int gone = SelBefore.cpMax - lo, came = after.cpMax - lo, shift = came - gone;
    if (gone < 0 || came < 0 || LengthBefore != Starts.Length() || length - LengthBefore != shift) return false;
    const int first = Starts.LineAt(wnd, lo), lastBefore = Starts.LineAt(wnd, SelBefore.cpMax);
    const Line& a = Lines[static_cast<std::size_t>(first)];
    const Line& b = Lines[static_cast<std::size_t>(lastBefore)];
    const int base = Starts.At(first);
    const int head = lo - base, tailFrom = SelBefore.cpMax - Starts.At(lastBefore);
    Text read;
    if (InsertedKnown && came == static_cast<int>(Inserted.size()) && a.read && b.read &&
        head <= static_cast<int>(a.text.size()) && tailFrom <= static_cast<int>(b.text.size())) {
        read.text = a.text.substr(0, static_cast<std::size_t>(head)) + Inserted + b.text.substr(static_cast<std::size_t>(tailFrom));
        SplitLines(read.text, &read.starts, &read.ends);
    } else {
        // Read, up to the start of the line after them.
        const bool lastLine = lastBefore + 1 >= Starts.Count();
        const int end = lastLine ? length : Starts.At(lastBefore + 1) + shift;
        read.text = TextRange(wnd, base, end);
        if (static_cast<int>(read.text.size()) != end - base) return false;
        SplitLines(read.text, &read.starts, &read.ends);
        if (!lastLine) {
            if (read.starts.size() < 2 || read.starts.back() != static_cast<int>(read.text.size())) return false;
            read.starts.pop_back();
            read.ends.pop_back();
        }
    }
    const int pieces = static_cast<int>(read.starts.size());
    // The control splits lines as the lexer does, but a break it took otherwise
    // (or a change we did not see) shows in the line count or the caret's line start.
    const int delta = pieces - (lastBefore - first + 1);
    if (LineCount(wnd) != static_cast<int>(Lines.size()) + delta) return false;
    for (int k = 0; k < pieces; ++k) read.where.push_back(base + read.starts[k]);
    const int caretLine = first + static_cast<int>(std::upper_bound(read.where.begin(), read.where.end(), after.cpMax) -
                                                   read.where.begin()) - 1;
    if (Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(-1)) != read.where[caretLine - first]) return false;
    const int tail = std::max(0, read.where.back() + read.ends.back() - read.starts.back() - static_cast<int>(after.cpMax));

    // What the lines show: the text before and after the edit kept its colours;
    // what came took the insertion point's, or that of the character before it
    // (at a line's start, after it), as typed text does.
    const auto h = Take(static_cast<int>(a.shown), a.colours, 0, head, false);
    const auto t = Take(static_cast<int>(b.shown), b.colours, 0, tail, true);
    std::vector<Line> fresh(static_cast<std::size_t>(pieces));
    std::string all;
    if (h && t) {
        all = *h + std::string(static_cast<std::size_t>(came), kUnknownColour) + *t;
        const char inherited = Preset != static_cast<char>(kNone) ? Preset
                               : head > 0                         ? all[static_cast<std::size_t>(head - 1)]
                               : tail > 0                         ? all[static_cast<std::size_t>(head + came)]
                                                                  : kUnknownColour;
        std::fill_n(all.begin() + head, came, inherited);
    }
    for (int k = 0; k < pieces; ++k) {
        Line& line = fresh[static_cast<std::size_t>(k)];
        const auto from = static_cast<std::size_t>(read.starts[k]), n = static_cast<std::size_t>(read.ends[k] - read.starts[k]);
        line.read = true;
        line.text = read.text.substr(from, n);
        line.shown = h && t && all.size() == static_cast<std::size_t>(read.ends.back()) ? Shown::Listed : Shown::Unknown;
        if (line.shown == Shown::Listed) line.colours = all.substr(from, n);
    }
    if (Preset != static_cast<char>(kNone) && PresetWorks == Check::NotYet && !CheckPreset(wnd, after.cpMax - 1))
        fresh[static_cast<std::size_t>(caretLine - first)].shown = Shown::Unknown;

    // The lines' starts.
    Starts.Replace(first, lastBefore, read.where, shift, length);
    ReplaceLines(first, lastBefore - first + 1, fresh);
    States.Replace(first, lastBefore - first + 1, pieces);
    View.SetDirty(true);  // lines below may start in another state now
    ColourLines(wnd, first, first + pieces - 1, false, false, &read);
    ColourView(wnd, false);
    return true;
}

// Whether the character at pos shows the colour preset for it; once known, it
// holds for every control of the class.
bool TJavaColour::CheckPreset(HWND wnd, int pos) {
    const LRESULT mask = Send(wnd, EM_SETEVENTMASK, 0, 0);
    CHARRANGE selection{};
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    CHARRANGE one{pos, pos + 1};
    Send(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    Send(wnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    Send(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    Send(wnd, EM_SETEVENTMASK, 0, mask);
    const bool plain = Preset == static_cast<char>(TJavaToken::Plain);
    const bool works = plain && PlainAuto ? (format.dwEffects & CFE_AUTOCOLOR) != 0 || format.crTextColor == Plain
                                          : !(format.dwEffects & CFE_AUTOCOLOR) &&
                                                format.crTextColor == (plain ? Plain : Palette(Preset));
    PresetWorks = works ? Check::Works : Check::Fails;
    return works;
}

void TJavaColour::VisibleLines(HWND wnd, int* first, int* last) const {
    const int count = static_cast<int>(Lines.size());
    *first = std::clamp(static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE)), 0, count - 1);
    RECT area{};
    GetClientRect(wnd, &area);
    POINTL corner{area.right > 0 ? area.right - 1 : 0, area.bottom > 0 ? area.bottom - 1 : 0};
    const int pos = static_cast<int>(Send(wnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner)));
    // One more line: the last may show only in part.
    *last = std::clamp(Starts.LineAt(wnd, std::max(pos, 0)) + 1, *first, count - 1);
}

void TJavaColour::ReadLines(HWND wnd, int first, int last, Text* out) const {
    out->text.clear();
    out->starts.clear();
    out->ends.clear();
    out->where.clear();
    // The lines we know need no reading.
    if (Starts.Kept() && std::all_of(Lines.begin() + first, Lines.begin() + last + 1, [](const Line& l) { return l.read; })) {
        for (int l = first; l <= last; ++l) {
            out->where.push_back(Starts.At(l));
            out->starts.push_back(static_cast<int>(out->text.size()));
            out->text += Lines[static_cast<std::size_t>(l)].text;
            out->ends.push_back(static_cast<int>(out->text.size()));
            out->text += '\n';
        }
        return;
    }
    const int count = static_cast<int>(Lines.size());
    const int base = Starts.StartOf(wnd, first);
    const int end = last + 1 < count ? Starts.StartOf(wnd, last + 1) : static_cast<int>(RichTextLength(wnd));
    out->text = TextRange(wnd, base, end);
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
        out->text += TextRange(wnd, start, start + static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(start))));
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

void TJavaColour::ColourLines(HWND wnd, int first, int last, bool force, bool quiet, const Text* known) {
    if (ShiftHeld()) {
        View.SetDirty(true);
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
        const std::string want = LineColours(s, States.StartOf(l));
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

void TJavaColour::ColourView(HWND wnd, bool idle) {
    if (!On || Lines.empty()) return;
    if (static_cast<int>(Lines.size()) != LineCount(wnd) || (Starts.Kept() && RichTextLength(wnd) != Starts.Length())) {
        // A change we did not see come: nothing shown is known any more.
        Reset(wnd, Shown::Unknown);
    }
    const bool asSeen = ViewAsSeen(wnd);
    if (asSeen && !View.Dirty()) return;
    View.SetDirty(false);
    int first = View.First(), last = View.Last();
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
    View.Saw(wnd, first, last, static_cast<int>(Lines.size()));
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
    if (!Starts.Kept() && !Starts.Tried()) {
        Starts.Build(wnd, count);
        return true;
    }
    // A page ahead of the view and one behind it, so that paging finds them coloured.
    int first = 0, last = 0;
    if (ViewAsSeen(wnd)) {
        first = View.First();
        last = View.Last();
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

CHARFORMATA TJavaColour::FormatOf(char colour) const {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    const bool plain = colour == static_cast<char>(TJavaToken::Plain);
    if (plain && PlainAuto) format.dwEffects = CFE_AUTOCOLOR;
    format.crTextColor = plain ? Plain : Palette(colour);
    return format;
}

void TJavaColour::Apply(HWND wnd, const std::vector<Run>& runs, bool quiet) {
    if (runs.empty()) return;
    const LRESULT mask = Send(wnd, EM_SETEVENTMASK, 0, 0);
    CHARRANGE selection{};
    Send(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    // The first line in view, to put the view back if selecting a range scrolls it:
    // as last looked at, where the view has not moved since.
    const int top = ViewAsSeen(wnd) ? View.First() : static_cast<int>(Send(wnd, EM_GETFIRSTVISIBLELINE));
    const int scroll = GetScrollPos(wnd, SB_VERT);
    const int left = GetScrollPos(wnd, SB_HORZ);
    const bool modified = Send(wnd, EM_GETMODIFY) != 0;
    // Drawing off only where lines out of view are coloured (selecting them
    // scrolls) and only if it is on: the key logic turns it off around an Enter.
    const bool redrawOff = quiet && (GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE) != 0;
    if (redrawOff) Send(wnd, WM_SETREDRAW, FALSE);
    for (const Run& run : runs) {
        CHARFORMATA format = FormatOf(run.colour);
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
