#pragma once
// How a source file is stored (its encoding, mark and line ends), found from its
// bytes, and the text moved between those bytes and UTF-16 with the control's
// CR LF line breaks. Portable: the ANSI code page comes in through ICodePage.
#include <string>
#include <string_view>
#include <vector>

enum class TEncoding { Ansi, Utf8 };
enum class TLineEnd { CrLf, Lf, Cr };

struct TSourceForm {
    TEncoding Encoding = TEncoding::Ansi;
    bool Mark = false;  // UTF-8 byte order mark at the start
    TLineEnd LineEnd = TLineEnd::CrLf;
    bool MixedEnds = false;  // more than one kind of line end in the file
    bool operator==(const TSourceForm&) const = default;
};

// The ANSI code page, as the platform converts it.
class ICodePage {
public:
    virtual ~ICodePage() = default;
    virtual std::u16string ToWide(std::string_view bytes) const = 0;
    // False when some character has no form in the code page.
    virtual bool FromWide(std::u16string_view text, std::string& bytes) const = 0;
};

// A mark, else valid UTF-8 with at least one character beyond ASCII, else the
// ANSI code page. The line end is the most frequent one (CR LF on a tie or
// when there is none).
TSourceForm DetectSourceForm(std::string_view bytes);

// "UTF-8", "UTF-8 BOM" or "ANSI", then "CRLF", "LF" or "CR".
std::string EncodingLabel(const TSourceForm& form);
std::string LineEndLabel(const TSourceForm& form);

// Strict UTF-8 <-> UTF-16; false on bytes that are not UTF-8 or on a lone surrogate.
bool Utf8ToUtf16(std::string_view bytes, std::u16string& text);
bool Utf16ToUtf8(std::u16string_view text, std::string& bytes);

// The file's text as the control holds it: no mark, every line break CR LF.
std::u16string DecodeSource(std::string_view bytes, const TSourceForm& form, const ICodePage& ansi);

// The control's text (line breaks CR LF, lone CR or LF from a paste) in the
// file's form. original is the text as loaded (or empty): where the file mixed
// its line ends, the lines before and after the changed part keep the ends they
// had and the rest take the most frequent one. False, bytes unspecified, when a
// character does not fit the encoding.
bool EncodeSource(std::u16string_view text, const TSourceForm& form, const ICodePage& ansi, std::string& bytes,
                  std::string_view originalBytes = {});

// The same text in another encoding or mark, line ends untouched; false when a
// character does not fit.
bool ConvertSource(std::string_view bytes, const TSourceForm& from, const TSourceForm& to, const ICodePage& ansi,
                   std::string& converted);

// The line ends of a file's bytes, in order (what follows each line that has one).
std::vector<TLineEnd> LineEndsOf(std::string_view bytes);
