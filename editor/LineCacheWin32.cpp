#include "LineCache.h"

#include <richedit.h>

#include "RichEditStream.h"

void TLineCache::Load(HWND wnd, const std::u16string& text) {
    TLineIndex lines(LineShape(text));
    const int last = lines.LineCount() - 1;
    const bool counted = RichTextLength(wnd) == static_cast<LRESULT>(text.size()) &&
                         SendMessageA(wnd, EM_GETLINECOUNT, 0, 0) == lines.LineCount() &&
                         SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(last), 0) == lines.LineStart(last);
    Index = counted ? std::move(lines) : TLineIndex();
}

void TLineCache::Follow(int start, int end, const std::u16string& text) {
    if (!Index.Empty()) Index.Replace(start, end, LineShape(text));
}

bool TLineCache::InStep(HWND wnd) const {
    if (Index.Empty()) return false;
    // Cheap checks, for a change that came unseen: the length, and the start
    // of the caret's line (the control finds that from the caret, not from the top).
    CHARRANGE range{};
    SendMessageA(wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int caretLineStart = static_cast<int>(SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
    if (RichTextLength(wnd) == Index.TextLength() &&
        static_cast<int>(SendMessageA(wnd, EM_GETLINECOUNT, 0, 0)) == Index.LineCount() &&
        (caretLineStart == Index.LineStart(Index.LineOf(range.cpMin)) ||
         caretLineStart == Index.LineStart(Index.LineOf(range.cpMax))))
        return true;
    Drop();
    return false;
}
