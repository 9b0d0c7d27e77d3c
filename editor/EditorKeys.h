#pragma once
// The source editor's own key handling: Tab aligns to the words of the line
// above, Enter carries the indentation of the line over to the new one. Plain
// logic over a small text-control interface, so it runs on any text control
// (the rich-edit window, or a fake in tests).
#include <cstdint>
#include <string>
#include <vector>

// Modifier and mouse-button states that come with a key.
enum TShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
};

// Column and line of the selection's end, both from 0; a tab counts one column.
struct TCaretPos {
    int X = 0;
    int Y = 0;
};

// One line's new indentation: so many characters off its start, then so many blanks in.
struct TIndentChange {
    int remove = 0;
    int add = 0;
};

// What the key logic needs from the text control under it.
class ITextControl {
public:
    virtual ~ITextControl() = default;
    virtual TCaretPos CaretPos() const = 0;
    // Text of one line without its line break ("" for a line that does not exist).
    virtual std::string LineText(int line) const = 0;
    // Replaces the selection (or nothing) with text, as a step of the undo history
    // (withPrevious: part of the step before, as an Enter's indentation is); the
    // caret ends behind it.
    virtual void InsertAtCaret(const std::string& text, bool withPrevious) = 0;
    // The lines the selection touches, when it reaches into more than one line
    // (a last line touched only at its start is not counted).
    virtual bool SelectedLines(int& first, int& last) const = 0;
    // Changes the indentation of lines first, first + 1, ... as one undoable step,
    // and selects those lines whole.
    virtual void ChangeIndents(int first, const std::vector<TIndentChange>& changes) = 0;
    // false: stop repainting; true: repaint again, and repaint the whole control once.
    virtual void SetPainting(bool on) = 0;
};

class TEditorKeys {
public:
    static constexpr int TabWidth = 6;
    static constexpr std::uint16_t VK_Tab = 9;

    explicit TEditorKeys(ITextControl& control) : Control(control) {}
    TEditorKeys(const TEditorKeys&) = delete;
    TEditorKeys& operator=(const TEditorKeys&) = delete;

    // An Enter went through with auto-indent on and the caret past column 0; the new
    // line's indentation is still to come, at the next key release. Painting is
    // suspended meanwhile.
    bool IndentPending = false;
    bool AutoIndent = true;
    bool SmartTabs = true;

    // Each clears the key (to 0) when it consumed it; the caller then passes on
    // only keys that are left.
    void KeyDown(std::uint16_t& key, unsigned shift);
    void KeyPress(char& key);
    void KeyUp(std::uint16_t& key, unsigned shift);

    // The nestable update bracket: only the outermost open and close reach the control.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return Updates; }

    // Phase two of Enter: indent the new line and let the editor paint again.
    // KeyUp runs it; the control also runs it when the keys go elsewhere (focus
    // lost), so painting is never left suspended.
    void FinishPendingIndent();
    // Forgets a pending indentation without inserting anything (the text was replaced).
    void DropPendingIndent();

    void IndentNewLine(int line);
    void InsertSmartTab(int x, int y);
    // Tab (step > 0) or Shift+Tab (step < 0) on a selection of several lines.
    void ShiftLines(int first, int last, int step);
    // Scans text from the 1-based index pos to the first character outside (skipWhite)
    // or inside (!skipWhite) the whitespace set; false and pos = length when it runs
    // off the end; false and pos unchanged when pos starts past the end.
    static bool SkipChars(const std::string& text, bool skipWhite, int& pos);
    static std::string Blanks(int n);
    static bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

private:
    void InsertBlanks(int n);

    ITextControl& Control;
    int Updates = 0;
};
