#include "TextForm.h"

void TTextForm::Loaded(const TSourceForm& form, const std::string& bytes, bool faithful) {
    Form_ = form;
    Loaded_ = form.MixedEnds ? bytes : std::string();
    Faithful_ = faithful;
}

void TTextForm::SetForm(const TSourceForm& form, const ICodePage& ansi) {
    std::string loaded;
    if (!Loaded_.empty() && form.MixedEnds && ConvertSource(Loaded_, Form_, form, ansi, loaded))
        Loaded_ = std::move(loaded);
    else
        Loaded_.clear();
    Form_ = form;
}

std::u16string WithControlBreaks(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            out += c;
            continue;
        }
        if (c == u'\r') {
            if (text.compare(i, 3, u"\r\r\n") == 0)
                i += 2;
            else if (text.compare(i, 2, u"\r\n") == 0)
                ++i;
        }
        out += u"\r\n";
    }
    return out;
}
