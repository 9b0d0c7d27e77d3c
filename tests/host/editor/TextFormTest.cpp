// The form a text keeps from its file: the line ends of a file that mixes them.
#include "TextForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Plain ASCII stands in for the ANSI code page.
struct Ascii : ICodePage {
    std::u16string ToWide(std::string_view bytes) const override { return {bytes.begin(), bytes.end()}; }
    bool FromWide(std::u16string_view text, std::string& bytes) const override {
        bytes.assign(text.begin(), text.end());
        return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
    }
} ascii;

TEST(TextForm, AFileOfMixedLineEndsInAnotherForm) {
    const std::string file = "a\r\nb\nc\r\n";
    TSourceForm utf8Mixed = DetectSourceForm(file);
    utf8Mixed.Encoding = TEncoding::Utf8;
    utf8Mixed.Mark = true;
    TSourceForm lf;
    lf.LineEnd = TLineEnd::Lf;
    const struct {
        const char* name;
        bool setForm;
        TSourceForm form;
        std::string saved;
    } cases[] = {
        {"as loaded", false, {}, file},
        {"UTF-8 with a mark, the ends kept", true, utf8Mixed, "\xEF\xBB\xBF" + file},
        {"one line end for all", true, lf, "a\nb\nc\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TSourceForm found = DetectSourceForm(file);
        ASSERT_TRUE(found.MixedEnds);
        TTextForm form;
        form.Loaded(found, file, true);
        if (c.setForm) form.SetForm(c.form, ascii);
        std::string bytes;
        ASSERT_TRUE(form.Encode(DecodeSource(file, found, ascii), ascii, bytes));
        EXPECT_EQ(bytes, c.saved);
    }
}

}  // namespace
