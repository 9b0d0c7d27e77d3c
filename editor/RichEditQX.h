#pragma once
// The source editor: a plain-text, non-wrapping rich-edit window ("RICHEDIT" of
// RICHED32.DLL) whose keys run through the portable key logic of EditorKeys.
#include <windows.h>
#include <richedit.h>

#include <functional>
#include <string>

#include "ControlHistory.h"
#include "EditorFont.h"
#include "EditorKeys.h"
#include "JavaColourWin32.h"
#include "LineCache.h"
#include "RichEditFont.h"
#include "SourceForm.h"
#include "TextForm.h"
#include "TypedChars.h"

// Options of the find operation; word boundaries and case folding are the control's.
struct TSearchTypes {
    bool WholeWord = false;
    bool MatchCase = false;
};

class TCustomRichEditQX : private ITextControl, private ITextBuffer {
public:
    TCustomRichEditQX(const TCustomRichEditQX&) = delete;
    TCustomRichEditQX& operator=(const TCustomRichEditQX&) = delete;
    virtual ~TCustomRichEditQX();

    HWND Handle() const { return Wnd; }

    std::function<void()> OnChange;           // EN_CHANGE
    std::function<void()> OnSelectionChange;  // EN_SELCHANGE

    // The parent forwards every WM_COMMAND and WM_NOTIFY; true when it was this
    // editor's change or selection-change notification (the event has then fired).
    bool HandleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    // The file's bytes for the whole text, in the text's form (encoding, mark,
    // line ends). Throws Exception when a character does not fit the encoding;
    // EncodedText says so instead.
    std::string Text() const;
    bool EncodedText(std::string& bytes) const;
    // The whole text as the control holds it (UTF-16, line breaks CR LF).
    std::u16string WideText() const;
    // Loads a file's bytes: finds their form, which then stays with the text,
    // and hands the control every character as it is (as UTF-16, never through
    // the ANSI code page). Replaces the whole text in a fresh control that takes
    // the old one's place, styles, font, state and focus (so Handle() changes):
    // deleting a large text inside the control costs far more than loading it,
    // and the new text starts with no undo history of the old one. On failure
    // the old text and window stay as they were.
    void SetText(const std::string& bytes);
    // The form the text is saved in; a new form marks nothing modified.
    const TSourceForm& Form() const { return TextForm.Form(); }
    void SetForm(const TSourceForm& form);
    // False when the control did not give back the bytes it was loaded with:
    // saving would change characters the user never touched.
    bool Faithful() const { return TextForm.Faithful(); }

    // Length as the control counts it (a line break is two characters).
    int GetTextLen() const;
    // Position of the first match of text that starts at or after start and ends
    // within start + length; -1 when there is none. Searches forward only.
    int FindText(const std::string& text, int start, int length, TSearchTypes options) const;

    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int start);  // caret at start, nothing selected
    void SetSelLength(int length);
    void SetSel(int start, int end);

    // The modified flag follows the history's saved point: false marks the text
    // as it is now as saved, true says no state of the history is saved.
    bool Modified() const;
    void SetModified(bool modified);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);

    void SetEditorFont(const TEditorFont& font);
    bool Colouring() const { return Colour.Enabled(); }
    void SetColouring(bool on) { Colour.SetEnabled(Wnd, on); }

    // Every change of the text is a step of the editor's own history; the
    // control's own undo is held off.
    bool CanUndo() const;
    void Undo();
    bool CanRedo() const;
    void Redo();
    // Replaces the selection as one step; the caret ends behind the new text.
    void ReplaceSel(const std::u16string& text);
    // Replaces every match from the top as one step; the number replaced.
    int ReplaceAll(const std::string& find, const std::u16string& with, TSearchTypes options);
    void SelectAll();
    int LineCount() const;
    // The text of [start, end), as the control holds it.
    std::u16string TextRange(int start, int end) const { return Range(start, end); }
    bool CanCutCopy() const;
    void Cut();
    void Copy();
    bool CanPaste() const;
    void Paste();

    int LineFromChar(int charIndex) const;
    int LineIndex(int line) const;  // -1 for a line past the end
    // For tests and diagnostics: the lookups above go by the loaded text's line index.
    bool LinesIndexed() const { return Lines.Kept(); }
    // Scrolls the caret's line and column into view.
    void ScrollCaret();
    // Scrolls line to about the middle of the view (the caret alone may end up
    // at the very edge of it).
    void ShowLine(int line);
    void SetFocus();

    // The text limit set at creation: far above any source file.
    static constexpr LONG kTextLimit = 0x7FFFFFFE;

protected:
    explicit TCustomRichEditQX(HWND parent);

    // The key handlers: own work first (KeyUp: last), then the control's.
    virtual void KeyDown(std::uint16_t& key, unsigned shift);
    virtual void KeyPress(char& key);
    virtual void KeyUp(std::uint16_t& key, unsigned shift);

    TEditorKeys Keys{*this};

private:
    // ITextControl, on the window.
    TCaretPos CaretPos() const override;
    std::string LineText(int line) const override;
    void InsertAtCaret(const std::string& text, bool withPrevious) override;
    bool SelectedLines(int& first, int& last) const override;
    void ChangeIndents(int first, const std::vector<TIndentChange>& changes) override;
    void SetPainting(bool on) override;

    // ITextBuffer, on the window: what the history reads and replaces.
    std::u16string Range(int start, int end) const override;
    // The text of the range the control selects for [start, end), which start and end then give.
    std::u16string ReadRange(int& start, int& end) const;
    int Replace(int start, int end, const std::u16string& text) override;
    void Selection(int& start, int& end) const override;
    void Select(int start, int end) override;

    // One change of the text through the history, and what follows every change.
    void EditText(int start, int end, const std::u16string& text, TEditKind kind,
                  const std::u16string* removed = nullptr);
    void AfterEdit();
    void Replay(bool redo);
    // The user's own keys and mouse, turned into steps.
    bool EditKey(std::uint16_t key, unsigned mods);
    void TypeChar(char16_t c);
    // A selection goes whole; true when there was one.
    bool DeleteSelection(int start, int end);
    void DeleteBack(bool word);
    // The character before or after pos (empty where there is none).
    std::u16string CharBefore(int pos) const;
    std::u16string CharAfter(int pos) const;
    void DeleteForward(bool word);
    void MouseDown(HWND wnd, WPARAM wParam, LPARAM lParam);
    void StepOverLineBreak(bool forward);
    // Scrolls what the control's own scrolling left of the caret's line and column out of view.
    void ShowCaretWhole();

    // A new, empty control with this editor's styles and settings, subclassed.
    HWND CreateControl(HWND parent, DWORD style, DWORD exStyle, const RECT& place, HMENU id, LPARAM events);
    void Subclass(HWND wnd);
    static void FitTextArea(HWND wnd);
    // The text with its first lines coloured as planned; false where the control
    // did not give back the text as it is, or the lines in its own font.
    bool LoadColoured(HWND wnd, const std::u16string& text, const TJavaColour::FirstScreen& first,
                      const std::function<bool()>& faithful) const;
    static void StartFresh(HWND wnd);

    static LRESULT CALLBACK HookProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CallNext(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CallBase(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND Wnd = nullptr;
    TJavaColour Colour;
    TControlHistory History;
    mutable int Peeking = 0;  // a range read has moved the selection for a moment
    TTypedChars Typed;
    TLineCache Lines;
    TRichEditFont Font;
    TTextForm TextForm;
};

class TRichEditQX : public TCustomRichEditQX {
public:
    explicit TRichEditQX(HWND parent) : TCustomRichEditQX(parent) {}

    bool AutoIndent() const { return Keys.AutoIndent; }
    void SetAutoIndent(bool value) { Keys.AutoIndent = value; }
    bool SmartTabs() const { return Keys.SmartTabs; }
    void SetSmartTabs(bool value) { Keys.SmartTabs = value; }
    // For tests and diagnostics: an Enter waits for its indentation.
    bool IndentPending() const { return Keys.IndentPending; }
};
