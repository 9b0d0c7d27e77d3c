#pragma once
// The form a text is saved in (encoding, mark, line ends), kept with the text
// as its file name is: found at load, written back at save. For a file that
// mixes its line ends, the file's bytes as loaded too, so that the lines an
// edit did not touch keep the ends they had.
#include <string>
#include <string_view>

#include "SourceForm.h"

// Text brought in from elsewhere with every line break it has (CR LF, CR, LF,
// and CR CR LF, which a control shows as one break) as the one CR LF the
// control holds each break in, which Save writes as the file's own line end:
// what is shown is then what is saved.
std::u16string WithControlBreaks(std::u16string_view text);

class TTextForm {
public:
    const TSourceForm& Form() const { return Form_; }
    // False when the control did not give back the bytes it was loaded with.
    bool Faithful() const { return Faithful_; }

    // A text loaded from bytes of the given form.
    void Loaded(const TSourceForm& form, const std::string& bytes, bool faithful);
    // Another form for the same text (Save as UTF-8, say); the loaded bytes go
    // into it too, or are dropped where they cannot.
    void SetForm(const TSourceForm& form, const ICodePage& ansi);
    // The control's text as the file's bytes; false when a character does not
    // fit the encoding.
    bool Encode(std::u16string_view text, const ICodePage& ansi, std::string& bytes) const {
        return EncodeSource(text, Form_, ansi, bytes, Loaded_);
    }

private:
    TSourceForm Form_;
    std::string Loaded_;  // the file as loaded, kept for a file of mixed line ends
    bool Faithful_ = true;
};
