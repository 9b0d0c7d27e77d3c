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
