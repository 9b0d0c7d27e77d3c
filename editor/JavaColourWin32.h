#pragma once
// Java colours on the editor's rich-edit control. Colour is a view of the text,
// not a change to it: a colouring pass keeps the selection, the view and the
// modified flag as they were, raises no change or selection events, and enters
// no history (the editor keeps its own; the control's undo is off). It colours the lines in view, the lines an edit touches
// (and below them, when the edit opens or closes a comment or text block), and
// in idle time works out the lexer's states to the end and colours a page
// ahead of the view.
#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "JavaLexer.h"

// The count of characters (UTF-16 units, a paragraph's CR LF as two) in a rich-edit
// control. WM_GETTEXTLENGTH is no use for a long text: a message that crosses
// between a Unicode and an ANSI window procedure has its answer worked out by
// reading the whole text, and the editor's control has both.
int RichTextLength(HWND wnd);

class TJavaColour {
public:
    bool Enabled() const { return On; }
    // Off puts the whole text back in the plain colour.
    void SetEnabled(HWND wnd, bool on);
    // The colour of plain text: the editor font's.
    void SetPlainColour(COLORREF colour, bool automatic);

    // A new text in wnd, not yet shown: its first screen is coloured now.
    void Loaded(HWND wnd);
    // The whole text went back to the plain colour (a new font, say).
    void AllPlain(HWND wnd);

    // Around every message the control handles, outside our own passes.
    void Before(HWND wnd, UINT msg, WPARAM wParam);
    void After(HWND wnd, UINT msg, WPARAM wParam);
    // Our idle timer's WM_TIMER; true when the message was ours.
    bool Timer(HWND wnd, UINT msg, WPARAM wParam);

private:
    // What colour each line of the control shows: all plain (as loaded), as
    // listed per character, or not known (to be set whole).
    enum class Shown : std::uint8_t { Plain, Listed, Unknown };
    struct Line {
        Shown shown = Shown::Plain;
        std::uint8_t colouredFrom = kNone;  // the start state it was coloured for
        std::string colours;                // one TJavaToken per character, when Listed
    };
    static constexpr std::uint8_t kNone = 0xFF;
    static constexpr char kUnknownColour = 0x7F;

    void Reset(HWND wnd, Shown shown);
    void Edited(HWND wnd);
    void ColourView(HWND wnd, bool idle);
    // The text of lines [first, last]: where each starts and ends in text, and where it
    // starts in the control.
    struct Text {
        std::string text;
        std::vector<int> starts, ends, where;
    };
    // known: those lines' text, when the caller has just read it.
    void ColourLines(HWND wnd, int first, int last, bool force, bool quiet, const Text* known = nullptr);
    void Resolve(HWND wnd, int line);
    bool IdleStep(HWND wnd);
    void StartIdle(HWND wnd);
    void VisibleLines(HWND wnd, int* first, int* last) const;
    std::string Range(HWND wnd, int start, int end) const;
    void ReadLines(HWND wnd, int first, int last, Text* out) const;
    std::string Desired(std::string_view text, TLexState start) const;

    struct Run {
        int start, end;
        char colour;
    };
    void Apply(HWND wnd, const std::vector<Run>& runs, bool quiet);

    bool On = true;
    COLORREF Plain = 0;
    bool PlainAuto = true;
    TJavaLineStates States;
    std::vector<Line> Lines;
    bool Busy = false;
    // The selection before a message that may edit, and the line count then.
    bool Editing = false;
    CHARRANGE SelBefore{};
    int LengthBefore = 0;
    bool CaretEdit = true;
    bool IdleOn = false;
    // The view last coloured whole, so that the many messages after which other
    // lines may be in view cost two questions when none are.
    int SeenFirst = -1, SeenCount = -1;
    RECT SeenArea{};
    bool ViewDirty = true;
};
