#include "SourceForm.h"

#include <algorithm>

namespace {

const std::string_view kMark = "\xEF\xBB\xBF";

bool HasMark(std::string_view bytes) { return bytes.substr(0, 3) == kMark; }

// Splits text at its line breaks (CR LF, lone CR, lone LF): the lines without
// their breaks, and the break after each line but the last.
template <class Char>
void SplitLines(std::basic_string_view<Char> text, std::vector<std::basic_string_view<Char>>& lines,
                std::vector<TLineEnd>* ends) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        TLineEnd end = text[i] == '\n' ? TLineEnd::Lf : TLineEnd::Cr;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            end = TLineEnd::CrLf;
            ++i;
        }
        if (ends) ends->push_back(end);
        start = i + 1;
    }
    lines.push_back(text.substr(start));
}

const char16_t* BreakOf(TLineEnd end) {
    switch (end) {
    case TLineEnd::Lf: return u"\n";
    case TLineEnd::Cr: return u"\r";
    default: return u"\r\n";
    }
}

}  // namespace

std::vector<TLineEnd> LineEndsOf(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::vector<TLineEnd> ends;
    SplitLines(bytes, lines, &ends);
    return ends;
}

TSourceForm DetectSourceForm(std::string_view bytes) {
    TSourceForm form;
    form.Mark = HasMark(bytes);
    const std::string_view body = form.Mark ? bytes.substr(3) : bytes;
    const bool beyondAscii = std::any_of(body.begin(), body.end(), [](char c) { return (c & 0x80) != 0; });
    std::u16string ignored;
    if (form.Mark || (beyondAscii && Utf8ToUtf16(body, ignored))) form.Encoding = TEncoding::Utf8;

    std::size_t count[3] = {0, 0, 0};
    for (TLineEnd end : LineEndsOf(body)) ++count[static_cast<int>(end)];
    const int kinds = (count[0] != 0) + (count[1] != 0) + (count[2] != 0);
    form.MixedEnds = kinds > 1;
    if (count[1] > count[0] && count[1] >= count[2])
        form.LineEnd = TLineEnd::Lf;
    else if (count[2] > count[0] && count[2] > count[1])
        form.LineEnd = TLineEnd::Cr;
    return form;
}

std::string EncodingLabel(const TSourceForm& form) {
    if (form.Encoding == TEncoding::Ansi) return "ANSI";
    return form.Mark ? "UTF-8 BOM" : "UTF-8";
}

std::string LineEndLabel(const TSourceForm& form) {
    switch (form.LineEnd) {
    case TLineEnd::Lf: return "LF";
    case TLineEnd::Cr: return "CR";
    default: return "CRLF";
    }
}

bool Utf8ToUtf16(std::string_view bytes, std::u16string& text) {
    text.clear();
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            text.push_back(c);
            ++i;
            continue;
        }
        std::size_t more;
        char32_t code;
        unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2, code = c & 0x0F;
            if (c == 0xE0) low = 0xA0;   // no overlong forms
            if (c == 0xED) high = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3, code = c & 0x07;
            if (c == 0xF0) low = 0x90;
            if (c == 0xF4) high = 0x8F;  // nothing past U+10FFFF
        } else {
            return false;
        }
        if (bytes.size() - i <= more) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if (b < (k == 1 ? low : 0x80) || b > (k == 1 ? high : 0xBF)) return false;
            code = (code << 6) | (b & 0x3F);
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        i += more + 1;
    }
    return true;
}

bool Utf16ToUtf8(std::u16string_view text, std::string& bytes) {
    bytes.clear();
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDFFF) {
            if (code > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (code < 0x80) {
            bytes.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            bytes.push_back(static_cast<char>(0xC0 | (code >> 6)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            bytes.push_back(static_cast<char>(0xE0 | (code >> 12)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            bytes.push_back(static_cast<char>(0xF0 | (code >> 18)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            bytes.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return true;
}

namespace {

// The characters of the bytes, line breaks as they are.
std::u16string RawDecode(std::string_view bytes, const TSourceForm& form, const ICodePage& ansi) {
    if (form.Mark && HasMark(bytes)) bytes.remove_prefix(3);
    std::u16string wide;
    if (form.Encoding != TEncoding::Utf8 || !Utf8ToUtf16(bytes, wide)) wide = ansi.ToWide(bytes);
    return wide;
}

bool RawEncode(std::u16string_view text, const TSourceForm& form, const ICodePage& ansi, std::string& bytes) {
    std::string body;
    if (form.Encoding == TEncoding::Utf8) {
        if (!Utf16ToUtf8(text, body)) return false;
    } else if (!ansi.FromWide(text, body)) {
        return false;
    }
    bytes = form.Encoding == TEncoding::Utf8 && form.Mark ? std::string(kMark) + body : body;
    return true;
}

}  // namespace

bool ConvertSource(std::string_view bytes, const TSourceForm& from, const TSourceForm& to, const ICodePage& ansi,
                   std::string& converted) {
    return RawEncode(RawDecode(bytes, from, ansi), to, ansi, converted);
}

std::u16string DecodeSource(std::string_view bytes, const TSourceForm& form, const ICodePage& ansi) {
    const std::u16string wide = RawDecode(bytes, form, ansi);
    std::vector<std::u16string_view> lines;
    SplitLines(std::u16string_view(wide), lines, nullptr);
    std::u16string text;
    text.reserve(wide.size() + lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += u"\r\n";
        text += lines[i];
    }
    return text;
}

bool EncodeSource(std::u16string_view text, const TSourceForm& form, const ICodePage& ansi, std::string& bytes,
                  std::string_view originalBytes) {
    std::vector<std::u16string_view> lines;
    SplitLines(text, lines, nullptr);
    std::vector<TLineEnd> ends(lines.size() - 1, form.LineEnd);

    // Mixed ends: the lines that match the loaded text from the top and from
    // the bottom are the ones the user left alone; they keep their own ends.
    std::u16string original;
    std::vector<std::u16string_view> oldLines;
    std::vector<TLineEnd> oldEnds;
    if (form.MixedEnds && !originalBytes.empty()) {
        oldEnds = LineEndsOf(form.Mark && HasMark(originalBytes) ? originalBytes.substr(3) : originalBytes);
        original = DecodeSource(originalBytes, form, ansi);
        SplitLines(std::u16string_view(original), oldLines, nullptr);
    }
    if (oldLines.size() == oldEnds.size() + 1) {
        const std::size_t most = std::min(lines.size(), oldLines.size());
        std::size_t top = 0;
        while (top < most && lines[top] == oldLines[top]) ++top;
        std::size_t bottom = 0;
        while (bottom < most - top &&
               lines[lines.size() - 1 - bottom] == oldLines[oldLines.size() - 1 - bottom])
            ++bottom;
        // A break is kept when both lines around it are unchanged.
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (i + 1 < top)
                ends[i] = oldEnds[i];
            else if (i + bottom >= lines.size())
                ends[i] = oldEnds[i + oldLines.size() - lines.size()];
        }
    }

    std::u16string joined;
    joined.reserve(text.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        joined += lines[i];
        if (i < ends.size()) joined += BreakOf(ends[i]);
    }
    return RawEncode(joined, form, ansi, bytes);
}
