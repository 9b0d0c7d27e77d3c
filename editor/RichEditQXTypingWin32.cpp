// The editor's typing and deleting commands, and the key logic's own edits
// (blanks at the caret, indents of whole lines): each a step of the history.
#include "RichEditQX.h"

#include <richedit.h>

#include <algorithm>

#include "RichEditQXInternalWin32.h"

using namespace richedit_qx;

namespace {

// Two halves of one character beyond U+FFFF, which Backspace and Delete take whole.
bool IsSurrogatePair(const std::u16string& s) {
    return s.size() == 2 && s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF;
}

bool IsWordChar(char16_t c) { return c == u'_' || IsCharAlphaNumericW(static_cast<wchar_t>(c)); }

}  // namespace

// The editing keys the control would otherwise handle on its own, past the
// history; true when the key was one.
bool TCustomRichEditQX::EditKey(std::uint16_t key, unsigned mods) {
    if ((key == 'V' && mods == ssCtrl) || (key == VK_INSERT && mods == ssShift)) {
        Paste();
    } else if ((key == 'Z' && mods == ssCtrl) || (key == VK_BACK && mods == ssAlt)) {
        Undo();
    } else if ((key == 'Y' && mods == ssCtrl) || (key == 'Z' && mods == (ssCtrl | ssShift))) {
        Redo();
    } else if ((key == 'X' && mods == ssCtrl) || (key == VK_DELETE && mods == ssShift)) {
        Cut();
    } else if (key == 'A' && mods == ssCtrl) {
        SelectAll();
    } else if (key == VK_BACK && (mods & ssAlt) == 0) {
        DeleteBack((mods & ssCtrl) != 0);
    } else if (key == VK_DELETE && (mods & (ssAlt | ssShift)) == 0) {
        DeleteForward((mods & ssCtrl) != 0);
    } else if (key == VK_INSERT && mods == 0) {
        // No overtype: typing always inserts, as the history records it.
    } else if ((mods & ssCtrl) && ((key >= 'A' && key <= 'Z' && key != 'C') || (key >= '0' && key <= '9'))) {
        // The control in rich-text mode (for the colours) takes Ctrl+B, I, U, E, L, R,
        // J and the digits as formats of bold, alignment and line spacing: not
        // for a source. Ctrl+C copies; the program's own keys never get here.
    } else {
        return false;
    }
    return true;
}

void TCustomRichEditQX::TypeChar(char16_t c) {
    // Control characters (Backspace's, Ctrl+letter's) type nothing; their keys did the work.
    if ((c < 0x20 && c != u'\r' && c != u'\t') || c == 0x7F) return;
    if (c >= 0xD800 && c <= 0xDBFF) {
        HighSurrogate = c;
        return;
    }
    std::u16string text(1, c);
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (!HighSurrogate) return;
        text.insert(text.begin(), HighSurrogate);
    }
    HighSurrogate = 0;
    char key = c < 0x80 ? static_cast<char>(c) : 'x';
    KeyPress(key);
    if (key == 0 || ReadOnly()) return;
    int start = 0, end = 0;
    Selection(start, end);
    if (c == u'\r')
        EditText(start, end, u"\r\n", TEditKind::Other);
    else
        EditText(start, end, text, TEditKind::Typing);
}

void TCustomRichEditQX::DeleteBack(bool word) {
    int start = 0, end = 0;
    Selection(start, end);
    if (start != end) {
        EditText(start, end, u"", TEditKind::Other);
        return;
    }
    if (start == 0) return;
    if (!word) {
        // A line break goes whole; what is read here is what the step removes.
        std::u16string before = Range(start >= 2 ? start - 2 : 0, start);
        if (before != u"\r\n" && !IsSurrogatePair(before)) before.erase(0, before.size() - 1);
        EditText(start - static_cast<int>(before.size()), end, u"", TEditKind::Deleting, &before);
        return;
    }
    // Ctrl+Backspace: the blanks and then the word before the caret, or one
    // other character, or the line break at the line's start.
    const int lineStart = LineIndex(LineFromChar(start));
    const std::u16string line = Range(lineStart, start);
    int p = static_cast<int>(line.size());
    while (p > 0 && (line[p - 1] == u' ' || line[p - 1] == u'\t')) --p;
    while (p > 0 && IsWordChar(line[p - 1])) --p;
    if (p == static_cast<int>(line.size()) && p > 0) --p;
    if (lineStart + p == start) {
        const std::u16string before = Range(start >= 2 ? start - 2 : 0, start);
        start -= before == u"\r\n" ? 2 : 1;
    } else {
        start = lineStart + p;
    }
    EditText(start, end, u"", TEditKind::Other);
}

void TCustomRichEditQX::DeleteForward(bool word) {
    int start = 0, end = 0;
    Selection(start, end);
    if (start != end) {
        EditText(start, end, u"", TEditKind::Other);
        return;
    }
    const int length = GetTextLen();
    if (end >= length) return;
    if (!word) {
        std::u16string after = Range(end, std::min(end + 2, length));
        if (after != u"\r\n" && !IsSurrogatePair(after)) after.resize(1);
        EditText(start, end + static_cast<int>(after.size()), u"", TEditKind::Deleting, &after);
        return;
    }
    // Ctrl+Delete: the word after the caret and the blanks behind it, or one
    // other character, or the line break at the line's end.
    const int lineEnd = LineIndex(LineFromChar(end)) + static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, end, 0));
    const std::u16string rest = Range(end, std::max(end, lineEnd));
    std::size_t p = 0;
    while (p < rest.size() && IsWordChar(rest[p])) ++p;
    while (p < rest.size() && (rest[p] == u' ' || rest[p] == u'\t')) ++p;
    if (p == 0 && !rest.empty()) p = 1;
    if (p == 0) {
        const std::u16string after = Range(end, std::min(end + 2, length));
        p = after == u"\r\n" ? 2 : 1;
    }
    EditText(start, end + static_cast<int>(p), u"", TEditKind::Other);
}

void TCustomRichEditQX::InsertAtCaret(const std::string& text, bool withPrevious) {
    // Our own blanks never change a text the user cannot change.
    if (ReadOnly()) return;
    int start = 0, end = 0;
    Selection(start, end);
    EditText(start, end, Widen(text), withPrevious ? TEditKind::Attach : TEditKind::Other);
}

void TCustomRichEditQX::ChangeIndents(int first, const std::vector<TIndentChange>& changes) {
    if (ReadOnly() || changes.empty()) return;
    // The lines change as one block, read once and replaced once: a replacement
    // per line costs the control a search from the top each (seconds for a few
    // hundred lines under Wine).
    const int blockStart = LineIndex(first);
    const int lastStart = LineIndex(first + static_cast<int>(changes.size()) - 1);
    if (blockStart < 0 || lastStart < 0) return;
    const int blockEnd = lastStart + static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, lastStart, 0));
    const std::u16string old = Range(blockStart, blockEnd);
    std::u16string block;
    block.reserve(old.size() + changes.size() * TEditorKeys::TabWidth);
    std::size_t pos = 0;
    for (std::size_t line = 0;; ++line) {
        std::size_t end = old.find_first_of(u"\r\n", pos);
        if (end == std::u16string::npos) end = old.size();
        const std::size_t length = end - pos;
        std::size_t cut = 0;
        if (line < changes.size()) {
            block.append(static_cast<std::size_t>(changes[line].add), u' ');
            cut = std::min(length, static_cast<std::size_t>(std::max(changes[line].remove, 0)));
        }
        block.append(old, pos + cut, length - cut);
        if (end == old.size()) break;
        const std::size_t brk = old.compare(end, 2, u"\r\n") == 0 ? 2 : 1;
        block.append(old, end, brk);
        pos = end + brk;
    }
    ++Editing;
    History.Edit(*this, blockStart, blockEnd, block, TEditKind::Other, static_cast<std::int64_t>(GetTickCount()), &old);
    --Editing;
    const int next = LineIndex(first + static_cast<int>(changes.size()));
    SetSel(LineIndex(first), next < 0 ? GetTextLen() : next);
    AfterEdit();
}
