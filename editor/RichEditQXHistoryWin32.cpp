// Changes of the editor's text through its history: the path every edit
// takes, undo and redo, replacing, the modified flag and the clipboard.
#include "RichEditQX.h"

#include <richedit.h>

#include <cstring>

#include "RichEditQXInternalWin32.h"

using namespace richedit_qx;

bool TCustomRichEditQX::Modified() const { return History.Modified(); }
void TCustomRichEditQX::SetModified(bool modified) {
    if (modified)
        History.MarkUnsaved();
    else
        History.MarkSaved();
    SendMessageA(Wnd, EM_SETMODIFY, modified, 0);
}

bool TCustomRichEditQX::CanUndo() const { return History.CanUndo() && !ReadOnly(); }
bool TCustomRichEditQX::CanRedo() const { return History.CanRedo() && !ReadOnly(); }

void TCustomRichEditQX::Undo() {
    // An Enter's indentation still to come belongs to the step it undoes.
    Keys.FinishPendingIndent();
    if (!CanUndo()) return;
    ++Editing;
    History.Undo(*this);
    --Editing;
    AfterEdit();
}

void TCustomRichEditQX::Redo() {
    Keys.FinishPendingIndent();
    if (!CanRedo()) return;
    ++Editing;
    History.Redo(*this);
    --Editing;
    AfterEdit();
}

void TCustomRichEditQX::EditText(int start, int end, const std::u16string& text, TEditKind kind,
                                 const std::u16string* removed) {
    if (ReadOnly()) return;
    ++Editing;
    History.Edit(*this, start, end, text, kind, static_cast<std::int64_t>(GetTickCount()), removed);
    --Editing;
    AfterEdit();
}

void TCustomRichEditQX::AfterEdit() {
    ExpectedLength = GetTextLen();
    SendMessageA(Wnd, EM_SETMODIFY, History.Modified(), 0);
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
    if (OnChange) OnChange();
}

void TCustomRichEditQX::ReplaceSel(const std::u16string& text) {
    int start = 0, end = 0;
    Selection(start, end);
    EditText(start, end, text, TEditKind::Other);
}

int TCustomRichEditQX::ReplaceAll(const std::string& find, const std::u16string& with, TSearchTypes options) {
    if (find.empty() || ReadOnly()) return 0;
    Keys.FinishPendingIndent();
    const int matchLength = static_cast<int>(Widen(find).size());
    int count = 0;
    ++Editing;
    History.BeginStep();
    for (int pos = 0;;) {
        const int length = GetTextLen();
        const int found = pos < length ? FindText(find, pos, length - pos, options) : -1;
        if (found < 0) break;
        History.Edit(*this, found, found + matchLength, with, TEditKind::Other);
        int caretStart = 0;
        Selection(caretStart, pos);
        ++count;
    }
    History.EndStep(*this);
    --Editing;
    if (count > 0) AfterEdit();
    return count;
}

bool TCustomRichEditQX::CanCutCopy() const { return SelLength() != 0; }

void TCustomRichEditQX::Cut() {
    if (SelLength() == 0 || ReadOnly()) return;
    Copy();
    ReplaceSel(u"");
}

void TCustomRichEditQX::Copy() { SendMessageA(Wnd, WM_COPY, 0, 0); }
bool TCustomRichEditQX::CanPaste() const {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

// The clipboard's text, plain, in the editor's own font, replaces the selection
// as one step: the control's own paste would bring rich text's fonts and colours
// in (and under Wine replaces the whole text of a control in plain-text mode).
void TCustomRichEditQX::Paste() {
    if (ReadOnly() || !OpenClipboard(Wnd)) return;
    std::u16string text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const char16_t*>(GlobalLock(data))) {
            const std::size_t limit = GlobalSize(data) / sizeof(char16_t);
            std::size_t n = 0;
            while (n < limit && p[n]) ++n;
            text.assign(p, n);
            GlobalUnlock(data);
        }
    } else if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = Widen(std::string(p, strnlen(p, GlobalSize(data))));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (!text.empty()) ReplaceSel(text);
}
