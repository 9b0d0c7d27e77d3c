// Random key sequences against a text in memory: the key logic only ever adds
// blanks, asks only for lines that exist, never indents past what the line
// above gives, and leaves painting on once no indentation is pending.
// The same input then drives the undo history over a text model: every undo
// and redo gives back the text of that point exactly, undoing all gives the
// first text, redoing all the last, and the modified flag follows the saved point.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "Check.h"
#include "EditHistory.h"
#include "EditorKeys.h"

namespace {

constexpr std::size_t kLongestLine = 1024;

class ModelText : public ITextControl {
public:
    std::vector<std::string> lines{""};
    int x = 0, y = 0;  // the caret
    bool painting = true;
    std::size_t blanksAdded = 0;

    TCaretPos CaretPos() const override { return {x, y}; }
    std::string LineText(int line) const override {
        QP_CHECK(line >= 0 && line < static_cast<int>(lines.size()));
        return lines[line];
    }
    bool SelectedLines(int&, int&) const override { return false; }
    void ChangeIndents(int, const std::vector<TIndentChange>&) override { QP_CHECK(false); }
    void InsertAtCaret(const std::string& text, bool) override {
        QP_CHECK(text.find_first_not_of(' ') == std::string::npos);
        blanksAdded += text.size();
        Type(text);
    }
    void SetPainting(bool on) override {
        QP_CHECK(on != painting);
        painting = on;
    }
    // What the control does with keys that reach it; each line's run goes in
    // at once, as the control takes it.
    void Type(const std::string& text) {
        for (std::size_t from = 0; from <= text.size();) {
            const std::size_t end = std::min(text.find('\r', from), text.size());
            lines[y].insert(static_cast<std::size_t>(x), text, from, end - from);
            x += static_cast<int>(end - from);
            if (end == text.size()) break;
            lines.insert(lines.begin() + y + 1, lines[y].substr(x));
            lines[y].resize(x);
            ++y;
            x = 0;
            from = end + 1;
        }
    }
    void Move(unsigned how) {
        const int count = static_cast<int>(lines.size());
        switch (how % 4) {
        case 0: y = y > 0 ? y - 1 : 0; break;
        case 1: y = y + 1 < count ? y + 1 : y; break;
        case 2: x = x > 0 ? x - 1 : 0; break;
        case 3: x = x + 1; break;
        }
        const int length = static_cast<int>(lines[y].size());
        if (x > length) x = length;
    }
};

// A text as the rich-edit control keeps it: a line break typed or pasted as a
// lone CR or LF is stored as CR LF, and a letter outside its code page as '?',
// so what the history reads back differs from what it asked to insert.
class ModelBuffer : public ITextBuffer {
public:
    std::u16string text;
    int selStart = 0, selEnd = 0;

    std::u16string Range(int start, int end) const override {
        QP_CHECK(0 <= start && start <= end && end <= Length());
        return text.substr(start, end - start);
    }
    int Replace(int start, int end, const std::u16string& in) override {
        QP_CHECK(0 <= start && start <= end && end <= Length());
        std::u16string stored;
        for (std::size_t i = 0; i < in.size(); ++i) {
            if (in[i] == u'\r' && i + 1 < in.size() && in[i + 1] == u'\n') {
                stored += u"\r\n";
                ++i;
            } else if (in[i] == u'\r' || in[i] == u'\n') {
                stored += u"\r\n";
            } else if (in[i] >= 0x300) {
                stored += u'?';
            } else {
                stored += in[i];
            }
        }
        text.replace(start, end - start, stored);
        selStart = selEnd = start + static_cast<int>(stored.size());
        return selEnd;
    }
    void Selection(int& start, int& end) const override {
        start = selStart;
        end = selEnd;
    }
    void Select(int start, int end) override {
        QP_CHECK(0 <= start && start <= end && end <= Length());
        selStart = start;
        selEnd = end;
    }
    int Length() const { return static_cast<int>(text.size()); }
    // A position that does not split a CR LF.
    int Clamp(int pos) const {
        pos = pos < 0 ? 0 : pos > Length() ? Length() : pos;
        if (pos > 0 && pos < Length() && text[pos - 1] == u'\r' && text[pos] == u'\n') --pos;
        return pos;
    }
};

void FuzzHistory(const std::uint8_t* data, std::size_t size) {
    ModelBuffer buf;
    buf.text = u"class A {\r\n}\r\n";
    TEditHistory history;
    // The text at each position of the history, as far as it is known.
    std::vector<std::u16string> states{buf.text};
    std::u16string savedText = buf.text;
    constexpr std::size_t kGone = static_cast<std::size_t>(-1);
    std::size_t savedAt = 0;  // where the history should place the saved text
    const std::u16string first = buf.text;
    std::int64_t now = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint8_t op = data[i], arg = data[i + 1];
        now += (op & 0x80) ? 1500 : 50;
        const int caret = buf.Clamp(buf.selEnd);
        const std::size_t before = history.Position();
        bool edit = true;
        switch (op & 15) {
        case 0: case 1: case 2: {  // a typed character, a line break now and then
            const char16_t c = arg % 29 == 0 ? u'\r' : arg % 31 == 0 ? u'\u03A9' : char16_t(u'a' + arg % 26);
            history.Edit(buf, buf.Clamp(buf.selStart), caret, std::u16string(1, c),
                         c == u'\r' ? TEditKind::Other : TEditKind::Typing, now);
            break;
        }
        case 3:  // Backspace, its character read by the caller
            if (caret > 0) {
                const int from = buf.Clamp(caret - 1);
                const std::u16string removed = buf.text.substr(from, caret - from);
                history.Edit(buf, from, caret, u"", TEditKind::Deleting, now, &removed);
            }
            break;
        case 4: {  // Delete
            int end = caret + 1 < buf.Length() && buf.text[caret] == u'\r' ? caret + 2 : caret + 1;
            if (end <= buf.Length()) history.Edit(buf, caret, end, u"", TEditKind::Deleting, now);
            break;
        }
        case 5:  // a caret move or a selection
            buf.Select(buf.Clamp(arg % (buf.Length() + 1)), buf.Clamp(arg % (buf.Length() + 1) + (op >> 5)));
            history.BreakGroup();
            break;
        case 6:  // a paste over the selection, with mixed line ends
            history.Edit(buf, buf.Clamp(buf.selStart), caret, arg & 1 ? u"x\ny\rz" : u"{\r\n}", TEditKind::Other, now);
            break;
        case 7: {  // several replacements as one step (Replace All, an indented block)
            history.BeginStep();
            for (int k = 0; k < arg % 4; ++k) {
                const int p = buf.Clamp((arg * (k + 3)) % (buf.Length() + 1));
                history.Edit(buf, p, buf.Clamp(p + k), k % 2 ? u"  " : u"", TEditKind::Other, now);
            }
            history.EndStep(buf);
            break;
        }
        case 8:  // an indentation that belongs to the step before
            history.Edit(buf, caret, caret, u"    ", TEditKind::Attach, now);
            break;
        case 9: case 10:
            edit = false;
            if (history.Undo(buf)) QP_CHECK(buf.text == states[history.Position()]);
            break;
        case 11:
            edit = false;
            if (history.Redo(buf)) QP_CHECK(buf.text == states[history.Position()]);
            break;
        case 12:
            history.MarkSaved();
            savedText = buf.text;
            savedAt = history.Position();
            break;
        default:
            break;
        }
        if (edit) {
            // A new step drops the steps that could have been redone.
            if (history.Position() != before && savedAt != kGone && savedAt > before) savedAt = kGone;
            states.resize(history.StepCount() + 1);
            states[history.Position()] = buf.text;
        }
        QP_CHECK(history.Modified() == (savedAt != history.Position()));
        QP_CHECK(history.Modified() || buf.text == savedText);
    }
    const bool atEnd = history.Position() == history.StepCount();
    const std::u16string last = buf.text;
    while (history.Undo(buf)) QP_CHECK(buf.text == states[history.Position()]);
    QP_CHECK(buf.text == first);
    QP_CHECK(history.Modified() == (savedAt != 0));
    while (history.Redo(buf)) {}
    QP_CHECK(buf.text == states.back());
    if (atEnd) QP_CHECK(buf.text == last);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzHistory(data, size);
    ModelText text;
    TEditorKeys keys(text);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t op = data[i];
        const std::size_t blanksBefore = text.blanksAdded;
        const int widest = static_cast<int>(text.y > 0 ? text.lines[text.y - 1].size() : 0);
        const int x0 = text.x;
        keys.AutoIndent = (op & 0x40) == 0;
        keys.SmartTabs = (op & 0x20) == 0;
        std::uint16_t vk = 0;
        char ch = 0;
        switch (op >> 7 ? op & 7 : 8) {
        case 0: case 1: case 2:  // Tab, perhaps with a modifier
            vk = TEditorKeys::VK_Tab;
            keys.KeyDown(vk, op & 3 ? 0 : ssShift);
            ch = '\t';
            keys.KeyPress(ch);
            if (ch) text.Type(std::string(1, ch));
            if (vk == 0) QP_CHECK(text.x <= (widest > x0 + TEditorKeys::TabWidth ? widest : x0 + TEditorKeys::TabWidth));
            break;
        case 3: case 4:  // Enter
            ch = '\r';
            keys.KeyPress(ch);
            if (ch) text.Type("\r");
            break;
        case 5:
            text.Move(op >> 3);
            break;
        case 6:  // the Enter's key going up indents by at most what the line above holds
            keys.KeyUp(vk, 0);
            QP_CHECK(text.blanksAdded - blanksBefore <= static_cast<std::size_t>(TEditorKeys::TabWidth * widest));
            break;
        case 7:
            keys.DropPendingIndent();
            break;
        default:  // a character, then its key going up now and then
            ch = static_cast<char>(op & 0x7F);
            if (ch == '\t') {  // pasted, so the text above can hold tabs
                text.Type("\t");
                break;
            }
            if (ch == '\r' || ch == 0) ch = 'x';
            keys.KeyPress(ch);
            QP_CHECK(ch != 0);
            text.Type(std::string(1, ch));
            if (op & 1) keys.KeyUp(vk, 0);
        }
        QP_CHECK(keys.UpdateCount() == (keys.IndentPending ? 1 : 0));
        QP_CHECK(text.painting == !keys.IndentPending);
        // Indentation copied from line to line can grow a line without bound; past
        // this the rules meet nothing new, and each key would only cost more.
        if (text.lines[text.y].size() > kLongestLine) break;
    }
    keys.FinishPendingIndent();
    QP_CHECK(text.painting && keys.UpdateCount() == 0);
    return 0;
}
