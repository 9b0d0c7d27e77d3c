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

}  // namespace
