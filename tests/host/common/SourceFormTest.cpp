#include "SourceForm.h"

#include <gtest/gtest.h>

namespace {

// ISO-8859-1 stands in for the ANSI code page: a byte is the character of that number.
struct Latin1 : ICodePage {
    std::u16string ToWide(std::string_view bytes) const override {
        std::u16string text;
        for (char c : bytes) text.push_back(static_cast<unsigned char>(c));
        return text;
    }
    bool FromWide(std::u16string_view text, std::string& bytes) const override {
        bytes.clear();
        for (char16_t c : text) {
            if (c > 0xFF) return false;
            bytes.push_back(static_cast<char>(c));
        }
        return true;
    }
} latin1;

TEST(SourceForm, DetectsEncodingAndLineEnds) {
    const struct { const char* bytes; const char* encoding; const char* ends; bool mixed; } cases[] = {
        {"", "ANSI", "CRLF", false},
        {"a\r\nb\r\n", "ANSI", "CRLF", false},
        {"caf\xE9\n", "ANSI", "LF", false},                          // not UTF-8
        {"caf\xC3\xA9\n", "UTF-8", "LF", false},                     // UTF-8, no mark
        {"\xEF\xBB\xBF" "abc", "UTF-8 BOM", "CRLF", false},          // mark, ASCII
        {"a\rb\rc\r\nd", "ANSI", "CR", true},                       // most frequent wins
        {"a\nb\r\nc", "ANSI", "CRLF", true},                        // tie: CR LF
        {"\xF0\x9F\x98\x80\r\n", "UTF-8", "CRLF", false},            // beyond the BMP
    };
    for (const auto& c : cases) {
        const TSourceForm form = DetectSourceForm(c.bytes);
        EXPECT_EQ(EncodingLabel(form), c.encoding) << c.bytes;
        EXPECT_EQ(LineEndLabel(form), c.ends) << c.bytes;
        EXPECT_EQ(form.MixedEnds, c.mixed) << c.bytes;
    }
}

TEST(SourceForm, EditsTakeTheFilesLineEnds) {
    const struct { const char* original; const char16_t* edited; const char* saved; } cases[] = {
        {"a\nb\n", u"a\r\nnew\r\nb\r\n", "a\nnew\nb\n"},
        {"a\rb", u"a\r\nb\r\nc", "a\rb\rc"},
        {"a\nb\nc\r\nd\n", u"a\r\nb\r\nX\r\nc\r\nd\r\n", "a\nb\nX\nc\r\nd\n"},  // mixed: the rest keep theirs
        {"a\r\nb\nc\nd\r\n", u"Z\r\nb\r\nc\r\nd\r\n", "Z\r\nb\nc\nd\r\n"},
        {"x\ny\n", u"x\ny\rz\r\n", "x\ny\nz\n"},  // lone breaks from a paste
    };
    for (const auto& c : cases) {
        std::string saved;
        ASSERT_TRUE(EncodeSource(c.edited, DetectSourceForm(c.original), latin1, saved, c.original));
        EXPECT_EQ(saved, c.saved) << c.original;
    }
}

TEST(SourceForm, ReportsACharacterTheEncodingCannotHold) {
    std::string bytes;
    EXPECT_FALSE(EncodeSource(u"\u03A9", TSourceForm{}, latin1, bytes));
    const TSourceForm utf8{TEncoding::Utf8};
    EXPECT_FALSE(EncodeSource(std::u16string(1, char16_t(0xD800)), utf8, latin1, bytes));  // lone surrogate
}

}  // namespace
