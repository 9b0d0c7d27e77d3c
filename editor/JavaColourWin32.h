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

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FirstScreen.h"
#include "JavaLexer.h"
#include "LineStarts.h"
#include "SeenView.h"

namespace java_colour {
struct Run;
}

class TJavaColour {
public:
    bool Enabled() const { return On; }
    // Off puts the whole text back in the plain colour.
    void SetEnabled(HWND wnd, bool on);
    // The colour of plain text: the editor font's.
    void SetPlainColour(COLORREF colour, bool automatic);

    using FirstScreen = TFirstScreen;
    // False where the text's first lines are best loaded plain: colouring off,
    // nothing in them to colour, or characters the stream would not give back
    // as they are.
    bool PlanFirstScreen(const std::u16string& text, int lines, FirstScreen* out) const {
        return out->Plan(text, On ? lines : 0);
    }

    // A new text in wnd, not yet shown: its first screen is coloured now. starts:
    // where each of its lines starts, when the caller knows; first: the lines
    // that came in coloured as planned.
    void Loaded(HWND wnd, const std::vector<int>* starts = nullptr, const FirstScreen* first = nullptr);
    // The whole text went back to the plain colour (a new font, say).
    void AllPlain(HWND wnd);

    // Around every message the control handles, outside our own passes.
    void Before(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
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
        bool read = false;                  // text holds the line's text, its break left out
        std::string colours;                // one TJavaToken per character, when Listed
        std::string text;
    };
    static constexpr std::uint8_t kNone = 0xFF;

    // keepIndex: the text is as it was, only its colours are not.
    void Reset(HWND wnd, Shown shown, bool keepIndex = false);
    void Edited(HWND wnd);
    bool EditedInPlace(HWND wnd, int lo, const CHARRANGE& after, int length);
    void ReplaceLines(int first, int removed, std::vector<Line>& fresh);
    void PresetColour(HWND wnd);
    bool CheckPreset(HWND wnd, int pos);
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
    bool ViewAsSeen(HWND wnd) const { return View.AsSeen(wnd, static_cast<int>(Lines.size())); }
    void ReadLines(HWND wnd, int first, int last, Text* out) const;

    // The format that shows colour (a TJavaToken).
    CHARFORMATA FormatOf(char colour) const;
    void Apply(HWND wnd, const std::vector<java_colour::Run>& runs, bool quiet);

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
    // The text of the edit under way, when its message carries it, and the colour
    // set for it at the insertion point (kNone when none was).
    std::string Inserted;
    bool InsertedKnown = false;
    char Preset = static_cast<char>(kNone);
    // Whether the control gives typed text the insertion point's colour, as
    // documented: checked once, on the first text coloured so.
    enum class Check : std::uint8_t { NotYet, Works, Fails };
    static Check PresetWorks;
    TLineStarts Starts;
    TSeenView View;
};
