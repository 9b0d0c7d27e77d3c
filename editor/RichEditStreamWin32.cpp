#include "RichEditStream.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "QpErrors.h"

namespace {

struct WideSource {
    const std::u16string* text;
    std::size_t pos;  // in UTF-16 units
};

// The control takes the text as UTF-16 (SF_UNICODE), whole units at a time.
DWORD CALLBACK ReadFromWide(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* in = reinterpret_cast<WideSource*>(cookie);
    const std::u16string& text = *in->text;
    std::size_t n = std::min(static_cast<std::size_t>(size > 0 ? size / 2 : 0), text.size() - in->pos);
    // A chunk never ends between the CR and the LF of one line break: Wine's
    // control reads such a pair as two line breaks, and every line number below
    // it would be one off. Nor between the halves of a surrogate pair. A chunk
    // of one unit has no room to move the end.
    if (n > 1 && in->pos + n < text.size()) {
        const char16_t last = text[in->pos + n - 1];
        if ((last == u'\r' && text[in->pos + n] == u'\n') || (last >= 0xD800 && last <= 0xDBFF)) --n;
    }
    std::memcpy(buffer, text.data() + in->pos, n * 2);
    in->pos += n;
    *done = static_cast<LONG>(n * 2);
    return 0;
}

struct NarrowSource {
    const std::string* text;
    std::size_t pos;
};

DWORD CALLBACK ReadFromNarrow(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* in = reinterpret_cast<NarrowSource*>(cookie);
    const std::size_t n = std::min(static_cast<std::size_t>(std::max<LONG>(size, 0)), in->text->size() - in->pos);
    std::memcpy(buffer, in->text->data() + in->pos, n);
    in->pos += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* out = reinterpret_cast<std::string*>(cookie);
    out->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    *done = size;
    return 0;
}

}  // namespace

int RichTextLength(HWND wnd) {
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const auto n = static_cast<int>(SendMessageW(wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    // 0 from a control that does not know the message, or a refusal: the slow way.
    return n > 0 ? n : static_cast<int>(SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0));
}

void RichStreamIn(HWND wnd, const std::u16string& text, WPARAM flags, std::size_t from) {
    WideSource in{&text, from};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    stream.pfnCallback = &ReadFromWide;
    SendMessageW(wnd, EM_STREAMIN, flags | SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0 || in.pos != text.size()) throw Exception("Cannot load the text into the editor");
}

bool RichStreamInRtf(HWND wnd, const std::string& rtf) {
    NarrowSource in{&rtf, 0};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, &ReadFromNarrow};
    SendMessageA(wnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0 && in.pos == rtf.size();
}

std::u16string RichStreamOut(HWND wnd) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(RichTextLength(wnd)) * 2);
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&bytes);
    stream.pfnCallback = &WriteToString;
    SendMessageW(wnd, EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0 || bytes.size() % 2 != 0) throw Exception("Cannot read the editor's text");
    std::u16string text(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), bytes.size());
    return text;
}
