#pragma once
// What the parts of the Java colouring share: the palette, the control's text
// as its ANSI messages give it, and a line's colours and the runs that set them.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "JavaLexer.h"

namespace java_colour {

// Readable on white; the plain text keeps the font's own colour.
inline COLORREF Palette(char kind) {
    switch (static_cast<TJavaToken>(kind)) {
    case TJavaToken::Keyword: return RGB(0, 0, 160);
    case TJavaToken::String: return RGB(163, 21, 21);
    case TJavaToken::Comment: return RGB(0, 120, 0);
    case TJavaToken::Number: return RGB(0, 112, 128);
    case TJavaToken::Annotation: return RGB(128, 0, 128);
    default: return 0;
    }
}

// A character's colour not known: it is set whatever it is to be.
constexpr char kUnknownColour = 0x7F;

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(wnd, msg, wParam, lParam);
}

inline int LineCount(HWND wnd) { return std::max(static_cast<int>(Send(wnd, EM_GETLINECOUNT)), 1); }

// The lines of a text as the control breaks them: where each starts and, when
// asked, where its text ends (its break left out).
void SplitLines(std::string_view text, std::vector<int>* starts, std::vector<int>* ends);

// The text of [start, end) in one byte a character (see Narrow).
inline std::string TextRange(HWND wnd, int start, int end) {
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

// Each character's colour (a TJavaToken) in a line of text that starts in
// state start; next: the state the line leaves.
std::string LineColours(std::string_view text, TLexState start, TLexState* next = nullptr);

// Characters [start, end) of the control to be set in one colour; an end of -1
// sets the whole text.
struct Run {
    int start, end;
    char colour;
};
// The runs that take a line of text s (at in the control) from the colours
// shown to those wanted; shown becomes what the line then shows.
void PlanRuns(std::string_view s, const std::string& want, std::string& shown, int at, std::vector<Run>& runs);

// While Shift is held, Wine's control takes our selections for the user's and
// the colours land elsewhere or nowhere: a pass waits for its release. As the
// messages so far have it; the idle work also asks the keyboard itself (a call
// to the window server under Wine, too dear for every key).
inline bool ShiftHeld() { return GetKeyState(VK_SHIFT) < 0; }
inline bool ShiftDown() { return ShiftHeld() || GetAsyncKeyState(VK_SHIFT) < 0; }

// Our own messages to the control come back through its window procedure: while
// a pass works, they are the pass's, not the user's.
struct BusyScope {
    bool& busy;
    explicit BusyScope(bool& flag) : busy(flag) { busy = true; }
    ~BusyScope() { busy = false; }
};

// Text as the control's ANSI messages give it, one byte a character: a character
// the code page has no single byte for reads as '?'.
inline std::string Narrow(const char16_t* text, std::size_t n) {
    std::string out(n, '?');
    for (std::size_t i = 0; i < n; ++i) {
        const wchar_t c = static_cast<wchar_t>(text[i]);
        if (c < 0x80) {
            out[i] = static_cast<char>(c);
            continue;
        }
        char bytes[4];
        if (WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr) == 1) out[i] = bytes[0];
    }
    return out;
}

}  // namespace java_colour
