#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorKeys.h"

namespace {

constexpr std::uint16_t kVkTab = 9, kVkReturn = 13, kVkA = 'A', kVkShift = 16;

// A text control in memory: lines split at '\n', a selection [SelStart, SelEnd).
// It records what a viewer could have seen: the text at every moment painting
// was on and the text changed, or painting came back on.
class FakeTextControl : public ITextControl {
public:
    std::string Text;
    int SelStart = 0, SelEnd = 0;
    bool Painting = true;
    int Repaints = 0;
    std::vector<std::string> Seen;

    void Load(const std::string& text, int line, int column) {
        Text = text;
        SelStart = SelEnd = LineStart(line) + column;
    }
    void Select(int start, int end) {
        SelStart = start;
        SelEnd = end;
    }

    int LineStart(int line) const {
        int pos = 0;
        for (int i = 0; i < line; ++i) {
            std::size_t br = Text.find('\n', pos);
            if (br == std::string::npos) return static_cast<int>(Text.size());
            pos = static_cast<int>(br) + 1;
        }
        return pos;
    }
    int LineOf(int offset) const {
        int line = 0;
        for (int i = 0; i < offset && i < static_cast<int>(Text.size()); ++i)
            if (Text[i] == '\n') ++line;
        return line;
    }

    TCaretPos CaretPos() const override {
        int y = LineOf(SelEnd);
        return {SelEnd - LineStart(y), y};
    }
    std::string LineText(int line) const override {
        if (line < 0 || line > LineOf(static_cast<int>(Text.size()))) return "";
        int start = LineStart(line);
        std::size_t br = Text.find('\n', start);
        return Text.substr(start, br == std::string::npos ? std::string::npos : br - start);
    }
    void InsertAtCaret(const std::string& text, bool) override {
        Text.replace(SelStart, SelEnd - SelStart, text);
        SelStart = SelEnd = SelStart + static_cast<int>(text.size());
        Changed();
    }
    void SetPainting(bool on) override {
        ASSERT_NE(on, Painting) << "painting switched twice the same way";
        Painting = on;
        if (on) {
            ++Repaints;
            Seen.push_back(Text);
        }
    }
    // What the control itself does with a character that reached it.
    void TypeThrough(char c) {
        InsertAtCaret(c == '\r' ? "\n" : std::string(1, c), false);
    }
    bool SelectedLines(int& first, int& last) const override {
        first = LineOf(SelStart);
        last = LineOf(SelEnd);
        if (first == last) return false;
        if (SelEnd == LineStart(last)) --last;
        return true;
    }
    void ChangeIndents(int first, const std::vector<TIndentChange>& changes) override {
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const int start = LineStart(first + static_cast<int>(i));
            Text.replace(start, changes[i].remove, std::string(changes[i].add, ' '));
        }
        Select(LineStart(first), LineStart(first + static_cast<int>(changes.size())));
        Changed();
    }

private:
    void Changed() {
        if (Painting) Seen.push_back(Text);
    }
};

// Drives the logic the way a window sees a key: down, the character it types, up.
struct Editor {
    FakeTextControl Control;
    TEditorKeys Keys{Control};

    void Down(std::uint16_t vk, char ch, unsigned shift = 0) {
        std::uint16_t key = vk;
        Keys.KeyDown(key, shift);
        // The character comes whatever the key-down handler did with the key code.
        if (ch != 0) {
            Keys.KeyPress(ch);
            if (ch != 0) Control.TypeThrough(ch);
        }
    }
    void Up(std::uint16_t vk, unsigned shift = 0) {
        std::uint16_t key = vk;
        Keys.KeyUp(key, shift);
    }
    void Stroke(std::uint16_t vk, char ch, unsigned shift = 0) {
        Down(vk, ch, shift);
        Up(vk, shift);
    }
    void Tab(unsigned shift = 0) { Stroke(kVkTab, '\t', shift); }
    void Enter() { Stroke(kVkReturn, '\r'); }
    TCaretPos Caret() const { return Control.CaretPos(); }
};

// The line above: blanks in columns 0-3, 7, 11 and 13, words in 4-6 and 8-10,
// single characters in 12, 14 and 15.
const std::string kGuide = "    abc def x yz";

struct SmartTabCase {
    int column;
    int inserted;
    int after;
};

TEST(SmartTab, WorkedExampleUnderAGuideLine) {
    ASSERT_EQ(kGuide.size(), 16u);
    const SmartTabCase cases[] = {
        {0, 4, 4},   {1, 3, 4},   {2, 2, 4},   {3, 0, 3},   {4, 4, 8},   {5, 3, 8},
        {6, 2, 8},   {7, 0, 7},   {8, 4, 12},  {12, 2, 14}, {13, 0, 13}, {14, 0, 14},
        {15, 6, 21}, {16, 6, 22}, {20, 6, 26},
    };
    for (const SmartTabCase& c : cases) {
        SCOPED_TRACE("caret column " + std::to_string(c.column));
        Editor ed;
        const std::string line(c.column, '.');
        ed.Control.Load(kGuide + "\n" + line, 1, c.column);
        ed.Tab();
        EXPECT_EQ(ed.Control.LineText(1), line + std::string(c.inserted, ' '));
        EXPECT_EQ(ed.Caret().X, c.after);
        EXPECT_EQ(ed.Caret().Y, 1);
        EXPECT_EQ(ed.Control.LineText(0), kGuide);
        EXPECT_EQ(ed.Keys.UpdateCount(), 0);
        EXPECT_TRUE(ed.Control.Painting);
    }
}

struct TabCase {
    const char* name;
    std::string text;
    int line, column;
    bool smartTabs;
    int inserted;
};

TEST(SmartTab, OtherGuidesAndTheDefault) {
    const TabCase cases[] = {
        {"six letters", "abcdef\n", 1, 0, true, 5},
        {"letter blank letter", "a b\n", 1, 0, true, 2},
        {"four blanks", "    \n", 1, 0, true, 3},
        {"empty line above", "\n", 1, 0, true, 6},
        {"first line", "abc def", 0, 0, true, 6},
        {"smart tabs off", "    abc\n", 1, 0, false, 6},
        // A tab in the line above is one column, and whitespace like a blank.
        {"tab in guide", "\tx y\n", 1, 0, true, 0},
        {"tab then word", "a\t\tb\n", 1, 0, true, 3},
        {"caret mid line", "abc   def ghi\nxy", 1, 2, true, 4},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(c.name);
        Editor ed;
        ed.Keys.SmartTabs = c.smartTabs;
        ed.Control.Load(c.text, c.line, c.column);
        const std::string before = ed.Control.Text;
        ed.Tab();
        std::string expected = before;
        expected.insert(ed.Control.LineStart(c.line) + c.column, std::string(c.inserted, ' '));
        EXPECT_EQ(ed.Control.Text, expected);
        EXPECT_EQ(ed.Caret().X, c.column + c.inserted);
        EXPECT_EQ(ed.Control.Text.find('\t', ed.Control.LineStart(c.line)), std::string::npos);
    }
}

TEST(SmartTab, ModifiedTabIsNotAlignedAndItsCharacterIsDropped) {
    const unsigned shifts[] = {ssShift, ssCtrl, ssAlt, ssShift | ssCtrl};
    for (unsigned shift : shifts) {
        SCOPED_TRACE(shift);
        Editor ed;
        ed.Control.Load("    abc\nx", 1, 1);
        std::uint16_t key = kVkTab;
        ed.Keys.KeyDown(key, shift);
        EXPECT_EQ(key, kVkTab) << "passes on to the control";
        char ch = '\t';
        ed.Keys.KeyPress(ch);
        EXPECT_EQ(ch, 0);
        EXPECT_EQ(ed.Control.Text, "    abc\nx");
    }
    // Mouse buttons held do not stop the alignment.
    Editor ed;
    ed.Control.Load("    abc\n", 1, 0);
    ed.Tab(ssLeft | ssRight | ssMiddle);
    EXPECT_EQ(ed.Control.LineText(1), "    ");
}

TEST(SmartTab, ReplacesTheSelectionOnlyWhenSomethingIsInserted) {
    Editor ed;
    ed.Control.Load("    abc\nxyzw", 1, 0);
    ed.Control.Select(ed.Control.LineStart(1), ed.Control.LineStart(1) + 1);  // "x", end in column 1
    ed.Tab();
    EXPECT_EQ(ed.Control.LineText(1), "   yzw");

    ed.Control.Load("    abc\nxyzw", 1, 0);
    ed.Control.Select(ed.Control.LineStart(1), ed.Control.LineStart(1) + 3);  // end in column 3
    ed.Tab();
    EXPECT_EQ(ed.Control.LineText(1), "xyzw") << "target one column away: selection stays";
    EXPECT_EQ(ed.Control.SelEnd - ed.Control.SelStart, 3);
}

TEST(SmartTab, SelectionOfSeveralLinesIsShiftedByOneStep) {
    struct Case {
        const char* text;
        int start, end;  // the selection
        unsigned shift;
        const char* after;
    } cases[] = {
        {"ab\ncd\nef", 1, 4, 0, "      ab\n      cd\nef"},
        {"ab\n\ncd\n", 0, 7, 0, "      ab\n\n      cd\n"},  // the line after the selection stays
        {"        ab\n  cd\n\tef", 0, 17, ssShift, "  ab\ncd\nef"},
        {"   \tab\n\t  cd", 0, 11, ssShift, "\tab\n  cd"},  // a tab wider than the step is left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Editor ed;
        ed.Control.Load(c.text, 0, 0);
        ed.Control.Select(c.start, c.end);
        ed.Tab(c.shift);
        EXPECT_EQ(ed.Control.Text, c.after);
        EXPECT_EQ(ed.Control.SelStart, 0) << "the lines stay selected";
        EXPECT_GT(ed.Control.SelEnd, ed.Control.LineStart(1));
        EXPECT_TRUE(ed.Control.Painting);
    }
}

struct SkipCase {
    const char* text;
    bool skipWhite;
    int pos;
    bool found;
    int after;
};

TEST(SkipChars, ScansForwardFromOneBasedIndex) {
    const SkipCase cases[] = {
        {"  ab", true, 1, true, 3},   {"  ab", true, 3, true, 3},    {"ab  ", true, 3, false, 4},
        {"ab c", false, 1, true, 3},  {"abc", false, 1, false, 3},   {"a\r\n\tb", true, 2, true, 5},
        {"abc", true, 4, false, 4},   {"abc", false, 5, false, 5},   {"", true, 1, false, 1},
        {"", true, 0, false, 0},      {"x y", true, 0, true, 1},
    };
    for (const SkipCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " from " + std::to_string(c.pos));
        int pos = c.pos;
        EXPECT_EQ(TEditorKeys::SkipChars(c.text, c.skipWhite, pos), c.found);
        EXPECT_EQ(pos, c.after);
    }
}

struct IndentCase {
    const char* name;
    std::string text;
    int line, column;
    bool autoIndent;
    std::string newLine;  // the line after the Enter
    int caret;            // the caret's column in it
};

TEST(AutoIndent, EnterCarriesBlanksOver) {
    const IndentCase cases[] = {
        {"tab and two blanks", "\t  int x;", 0, 9, true, "        ", 8},
        {"blanks only line", "\n   ", 1, 3, true, "   ", 3},
        {"text after the caret", "  ab cd", 0, 4, true, "   cd", 2},
        {"caret in column 0", "    abc", 0, 0, true, "    abc", 0},
        {"auto-indent off", "    abc", 0, 7, false, "", 0},
        {"no indentation", "abc", 0, 3, true, "", 0},
        {"tab after text not counted", "a\tb", 0, 3, true, "", 0},
        {"tab worth six anywhere", " \t x", 0, 4, true, std::string(8, ' '), 8},
    };
    for (const IndentCase& c : cases) {
        SCOPED_TRACE(c.name);
        Editor ed;
        ed.Keys.AutoIndent = c.autoIndent;
        ed.Control.Load(c.text, c.line, c.column);
        ed.Enter();
        EXPECT_EQ(ed.Control.LineText(c.line + 1), c.newLine);
        EXPECT_EQ(ed.Caret().X, c.caret);
        EXPECT_EQ(ed.Caret().Y, c.line + 1);
        EXPECT_FALSE(ed.Keys.IndentPending);
        EXPECT_TRUE(ed.Control.Painting);
    }
}

TEST(AutoIndent, NothingIsPaintedBetweenTheBreakAndTheIndentation) {
    Editor ed;
    ed.Control.Load("    abc", 0, 7);
    ed.Down(kVkReturn, '\r');
    EXPECT_TRUE(ed.Keys.IndentPending);
    EXPECT_FALSE(ed.Control.Painting);
    EXPECT_EQ(ed.Control.Text, "    abc\n");
    ed.Up(kVkReturn);
    EXPECT_EQ(ed.Control.Text, "    abc\n    ");
    EXPECT_EQ(ed.Control.Seen, std::vector<std::string>{"    abc\n    "});
    EXPECT_EQ(ed.Control.Repaints, 1);
}

TEST(AutoIndent, HeldEnterBreaksOnceUnlessInColumnZero) {
    Editor ed;
    ed.Control.Load("  ab", 0, 4);
    for (int i = 0; i < 4; ++i) ed.Down(kVkReturn, '\r');
    ed.Up(kVkReturn);
    EXPECT_EQ(ed.Control.Text, "  ab\n  ");

    Editor col0;
    col0.Control.Load("  ab", 0, 0);
    for (int i = 0; i < 3; ++i) col0.Down(kVkReturn, '\r');
    col0.Up(kVkReturn);
    EXPECT_EQ(col0.Control.Text, "\n\n\n  ab");
    EXPECT_EQ(col0.Control.Repaints, 0) << "no bracket for a plain break";
}

TEST(AutoIndent, TypingBeforeTheReleaseCancelsTheIndentation) {
    Editor ed;
    ed.Control.Load("    abc", 0, 7);
    ed.Down(kVkReturn, '\r');
    ed.Stroke(kVkA, 'x');
    EXPECT_FALSE(ed.Keys.IndentPending);
    EXPECT_TRUE(ed.Control.Painting);
    ed.Up(kVkReturn);
    EXPECT_EQ(ed.Control.Text, "    abc\nx");
    // Painting goes on normally afterwards.
    ed.Stroke(kVkA, 'y');
    EXPECT_EQ(ed.Control.Seen.back(), "    abc\nxy");
}

TEST(AutoIndent, AnyKeyReleaseAppliesTheIndentation) {
    Editor ed;
    ed.Control.Load(" \tq", 0, 3);
    ed.Down(kVkReturn, '\r');
    ed.Up(kVkShift, ssShift);
    EXPECT_EQ(ed.Control.LineText(1), std::string(7, ' '));
    ed.Up(kVkReturn);  // the Enter's own release finds nothing pending
    EXPECT_EQ(ed.Control.LineText(1), std::string(7, ' '));
}

TEST(AutoIndent, SelectionFromColumnZeroLeavesAnEmptyLineAbove) {
    Editor ed;
    ed.Control.Load("    abc", 0, 0);
    ed.Control.Select(0, 5);
    ed.Enter();
    EXPECT_EQ(ed.Control.Text, "\nbc");
    EXPECT_TRUE(ed.Control.Painting);
}

TEST(UpdateBracket, NestsAndOnlyTheOutermostReachesTheControl) {
    Editor ed;
    ed.Keys.BeginUpdate();
    ed.Keys.BeginUpdate();
    EXPECT_FALSE(ed.Control.Painting);
    ed.Keys.EndUpdate();
    EXPECT_FALSE(ed.Control.Painting);
    ed.Keys.EndUpdate();
    EXPECT_TRUE(ed.Control.Painting);
    EXPECT_EQ(ed.Control.Repaints, 1);
    ed.Keys.EndUpdate();  // unmatched: ignored
    EXPECT_EQ(ed.Keys.UpdateCount(), 0);
    EXPECT_EQ(ed.Control.Repaints, 1);
}

TEST(UpdateBracket, SmartTabInsideAPendingEnterKeepsPaintingOff) {
    Editor ed;
    ed.Control.Load("    abc def", 0, 11);
    ed.Down(kVkReturn, '\r');
    std::uint16_t tab = kVkTab;
    ed.Keys.KeyDown(tab, 0);  // Tab pressed while Enter is still down
    EXPECT_FALSE(ed.Control.Painting);
    EXPECT_EQ(ed.Keys.UpdateCount(), 1);
    char ch = '\t';
    ed.Keys.KeyPress(ch);  // its character cancels the pending indentation
    EXPECT_TRUE(ed.Control.Painting);
    EXPECT_EQ(ed.Keys.UpdateCount(), 0);
    EXPECT_EQ(ed.Control.Text, "    abc def\n    ");
}

TEST(PendingIndent, FinishAndDropReleasePainting) {
    Editor ed;
    ed.Control.Load("  ab", 0, 4);
    ed.Down(kVkReturn, '\r');
    ed.Keys.FinishPendingIndent();
    EXPECT_EQ(ed.Control.Text, "  ab\n  ");
    EXPECT_TRUE(ed.Control.Painting);

    ed.Down(kVkReturn, '\r');
    ed.Keys.DropPendingIndent();
    EXPECT_FALSE(ed.Keys.IndentPending);
    EXPECT_TRUE(ed.Control.Painting);
    ed.Up(kVkReturn);
    EXPECT_EQ(ed.Control.Text, "  ab\n  \n");
}

TEST(PendingIndent, AutoIndentSwitchedOffWhilePendingReleasesPainting) {
    Editor ed;
    ed.Control.Load("  ab", 0, 4);
    ed.Down(kVkReturn, '\r');
    ed.Keys.AutoIndent = false;
    ed.Down(kVkReturn, '\r');  // a repeat now counts as an ordinary character
    EXPECT_FALSE(ed.Keys.IndentPending);
    EXPECT_TRUE(ed.Control.Painting);
    ed.Up(kVkReturn);
    EXPECT_EQ(ed.Control.Text, "  ab\n\n");
}

TEST(Blanks, LengthAndContent) {
    EXPECT_EQ(TEditorKeys::Blanks(0), "");
    EXPECT_EQ(TEditorKeys::Blanks(-3), "");
    EXPECT_EQ(TEditorKeys::Blanks(6), "      ");
}

}  // namespace
