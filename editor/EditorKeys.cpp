#include "EditorKeys.h"

namespace {

// Closes an update bracket on every way out. Opens it too, unless it adopts one
// that is already open.
class UpdateScope {
public:
    enum Mode { Open, Adopt };
    explicit UpdateScope(TEditorKeys& keys, Mode mode = Open) : Keys(keys) {
        if (mode == Open) Keys.BeginUpdate();
    }
    ~UpdateScope() { Keys.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    TEditorKeys& Keys;
};

}  // namespace

void TEditorKeys::KeyDown(std::uint16_t& key, unsigned shift) {
    // Mouse buttons do not matter; a Tab with Alt or Ctrl goes on to the control,
    // and the tab character it may type is dropped in KeyPress.
    if (key != VK_Tab || (shift & (ssAlt | ssCtrl)) != 0) return;
    int first = 0, last = 0;
    if (Control.SelectedLines(first, last)) {
        ShiftLines(first, last, (shift & ssShift) ? -1 : 1);
        key = 0;
    } else if ((shift & ssShift) == 0) {
        TCaretPos pos = Control.CaretPos();
        InsertSmartTab(pos.X, pos.Y);
        key = 0;
    }
}

void TEditorKeys::KeyPress(char& key) {
    // Indentation typed here is always blanks.
    if (key == '\t') key = 0;

    if (key == '\r' && AutoIndent) {
        if (IndentPending) {
            // Repeats of a held Enter add nothing until it is released.
            key = 0;
        } else {
            IndentPending = Control.CaretPos().X > 0;
            if (IndentPending) BeginUpdate();
        }
    } else {
        // Anything typed before the release cancels the pending indentation.
        DropPendingIndent();
    }
}

void TEditorKeys::KeyUp(std::uint16_t& /*key*/, unsigned /*shift*/) {
    FinishPendingIndent();
}

void TEditorKeys::BeginUpdate() {
    if (Updates++ == 0) Control.SetPainting(false);
}

void TEditorKeys::EndUpdate() {
    if (Updates == 0) return;  // an unmatched close must not re-enable painting twice
    if (--Updates == 0) Control.SetPainting(true);
}

void TEditorKeys::FinishPendingIndent() {
    if (!IndentPending) return;
    IndentPending = false;
    UpdateScope close(*this, UpdateScope::Adopt);  // the bracket opened with the Enter
    TCaretPos pos = Control.CaretPos();
    if (pos.Y > 0) IndentNewLine(pos.Y);
}

void TEditorKeys::DropPendingIndent() {
    if (!IndentPending) return;
    IndentPending = false;
    EndUpdate();
}

void TEditorKeys::IndentNewLine(int line) {
    const std::string above = Control.LineText(line - 1);
    int count = 0;
    for (char c : above) {
        if (c == '\t')
            count += TabWidth;
        else if (c == ' ')
            count += 1;
        else
            break;
    }
    if (count > 0) Control.InsertAtCaret(Blanks(count), true);
}

void TEditorKeys::InsertSmartTab(int x, int y) {
    int n = TabWidth;
    if (SmartTabs && y > 0) {
        const std::string above = Control.LineText(y - 1);
        const int length = static_cast<int>(above.size());
        int p = x + 1;  // 1-based index of the character in column x
        // Only a line above that reaches past column x gives a guide.
        if (length > p) {
            if (IsWhite(above[p - 1])) {
                SkipChars(above, true, p);
            } else if (SkipChars(above, false, p)) {
                SkipChars(above, true, p);
            }
            n = p - x - 1;
        }
    }
    // A target one column away (or none) inserts nothing; the Tab is used up all the same.
    if (n > 1) InsertBlanks(n);
}

void TEditorKeys::InsertBlanks(int n) {
    UpdateScope update(*this);
    Control.InsertAtCaret(Blanks(n), false);
}

void TEditorKeys::ShiftLines(int first, int last, int step) {
    std::vector<TIndentChange> changes;
    for (int line = first; line <= last; ++line) {
        const std::string text = Control.LineText(line);
        TIndentChange change;
        if (step > 0) {
            // Empty lines stay empty rather than gain trailing blanks.
            change.add = text.empty() ? 0 : TabWidth;
        } else {
            // One step off: leading blanks and tabs up to TabWidth columns.
            int column = 0;
            for (char c : text) {
                const int width = c == '\t' ? TabWidth : c == ' ' ? 1 : 0;
                if (width == 0 || column + width > TabWidth) break;
                column += width;
                ++change.remove;
            }
        }
        changes.push_back(change);
    }
    UpdateScope update(*this);
    Control.ChangeIndents(first, changes);
}

bool TEditorKeys::SkipChars(const std::string& text, bool skipWhite, int& pos) {
    const int length = static_cast<int>(text.size());
    if (pos > length) return false;
    for (int i = pos < 1 ? 1 : pos; i <= length; ++i) {
        if (IsWhite(text[i - 1]) != skipWhite) {
            pos = i;
            return true;
        }
    }
    pos = length;
    return false;
}

std::string TEditorKeys::Blanks(int n) {
    return std::string(n > 0 ? static_cast<std::size_t>(n) : 0, ' ');
}
