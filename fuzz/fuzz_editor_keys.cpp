// Random key sequences against a text in memory: the key logic only ever adds
// blanks, asks only for lines that exist, never indents past what the line
// above gives, and leaves painting on once no indentation is pending.
#include <cstdint>
#include <string>
#include <vector>

#include "Check.h"
#include "EditorKeys.h"

namespace {

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
    void InsertAtCaret(const std::string& text) override {
        QP_CHECK(text.find_first_not_of(' ') == std::string::npos);
        blanksAdded += text.size();
        Type(text);
    }
    void SetPainting(bool on) override {
        QP_CHECK(on != painting);
        painting = on;
    }
    // What the control does with keys that reach it.
    void Type(const std::string& text) {
        for (char c : text) {
            if (c == '\r') {
                lines.insert(lines.begin() + y + 1, lines[y].substr(x));
                lines[y].resize(x);
                ++y;
                x = 0;
            } else {
                lines[y].insert(lines[y].begin() + x, c);
                ++x;
            }
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    }
    keys.FinishPendingIndent();
    QP_CHECK(text.painting && keys.UpdateCount() == 0);
    return 0;
}
