// Line starts of a loaded text, counted as the editor control counts them.
#include "LineIndex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LineIndex, BreaksAsTheControlCountsThem) {
    const struct {
        const char* name;
        std::string text;
        std::vector<int> starts;
    } cases[] = {
        {"empty", "", {0}},
        {"one line", "abc", {0}},
        {"CR LF", "ab\r\ncd\r\n", {0, 4, 8}},
        {"lone LF", "a\nb\n\nc", {0, 2, 4, 5}},
        {"lone CR", "a\rb\r", {0, 2, 4}},
        {"LF CR is two breaks", "a\n\rb", {0, 2, 3}},
        {"CR CR LF is one break", "a\r\r\nb\r\r", {0, 4, 6, 7}},
        {"CR CR CR LF", "\r\r\r\nx", {0, 1, 4}},
        {"break first", "\r\nx", {0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TLineIndex index(c.text);
        ASSERT_EQ(index.LineCount(), static_cast<int>(c.starts.size()));
        EXPECT_EQ(index.TextLength(), static_cast<int>(c.text.size()));
        for (int line = 0; line < index.LineCount(); ++line) EXPECT_EQ(index.LineStart(line), c.starts[line]);
        EXPECT_EQ(index.LineStart(index.LineCount()), -1);
        EXPECT_EQ(index.LineStart(-1), -1);
        // Every position, the breaks' own characters with the line they end.
        for (int pos = 0; pos <= static_cast<int>(c.text.size()); ++pos) {
            int line = 0;
            while (line + 1 < index.LineCount() && c.starts[line + 1] <= pos) ++line;
            EXPECT_EQ(index.LineOf(pos), line) << "position " << pos;
        }
        EXPECT_EQ(index.LineOf(-5), 0);
        EXPECT_EQ(index.LineOf(1 << 30), index.LineCount() - 1);
    }
    EXPECT_TRUE(TLineIndex().Empty());
    EXPECT_FALSE(TLineIndex("").Empty());
}

// An edit keeps the index as a fresh count of the edited text would be, or
// empties it where a break at the edit's ends could pair with one beside it.
TEST(LineIndex, FollowsAnEdit) {
    const struct {
        std::string text;
        int start, end;
        std::string inserted;
        bool kept;
    } cases[] = {
        {"ab\r\ncd\r\nef", 1, 1, "x", true},       {"ab\r\ncd\r\nef", 2, 2, "\r\n", true},
        {"ab\r\ncd\r\nef", 2, 6, "", true},         {"ab\r\ncd\r\nef", 0, 10, "q\r\nr\r\ns", true},
        {"ab\r\ncd\r\nef", 4, 4, "x\r\ny\r\n", true}, {"ab\r\ncd", 6, 6, "\r\n", true},
        {"", 0, 0, "a\nb", true},                   {"a\nb", 1, 1, "c\r\n", true},
        {"a\rb", 2, 2, "\nc", false},               {"a\nb", 1, 1, "c\r", false},
        {"ab", 1, 3, "x", false},                    {"ab", 2, 1, "x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " [" + std::to_string(c.start) + ", " + std::to_string(c.end) + ") " + c.inserted);
        TLineIndex index(c.text);
        index.Replace(c.start, c.end, c.inserted);
        ASSERT_EQ(!index.Empty(), c.kept);
        if (!c.kept) continue;
        std::string edited = c.text;
        edited.replace(static_cast<std::size_t>(c.start), static_cast<std::size_t>(c.end - c.start), c.inserted);
        EXPECT_EQ(index.Starts(), TLineIndex(edited).Starts());
        EXPECT_EQ(index.TextLength(), static_cast<int>(edited.size()));
    }
}

TEST(LineIndex, AWideTextIndexedByItsUnits) {
    const struct {
        std::u16string text;
        std::string shape;
    } cases[] = {
        {u"", ""},
        {u"a\r\nb", "x\r\nx"},
        {u"\u00e9\n\r\xD83D\xDE00", "x\n\rxx"},
    };
    for (const auto& c : cases) EXPECT_EQ(LineShape(c.text), c.shape);
}

}  // namespace
