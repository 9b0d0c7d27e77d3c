// The editor's text in and out: loading a file's bytes into a fresh control,
// the text and its bytes back, the text's form, and the font.
#include "RichEditQX.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "CodePageWin32.h"
#include "EditorFontWin32.h"
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

std::u16string TCustomRichEditQX::StreamOut(HWND wnd) {
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

std::u16string TCustomRichEditQX::WideText() const { return StreamOut(Wnd); }

bool TCustomRichEditQX::EncodedText(std::string& bytes) const {
    return EncodeSource(WideText(), Form_, AnsiCodePage(), bytes, Loaded_);
}

std::string TCustomRichEditQX::Text() const {
    std::string bytes;
    if (!EncodedText(bytes)) throw Exception("The text has characters that " + EncodingLabel(Form_) + " cannot hold");
    return bytes;
}

void TCustomRichEditQX::SetForm(const TSourceForm& form) {
    // The loaded text, kept for its line ends, goes into the new form too.
    std::string loaded;
    if (!Loaded_.empty() && form.MixedEnds && ConvertSource(Loaded_, Form_, form, AnsiCodePage(), loaded))
        Loaded_ = std::move(loaded);
    else
        Loaded_.clear();
    Form_ = form;
}

void TCustomRichEditQX::StreamIn(HWND wnd, const std::u16string& text, WPARAM flags, std::size_t from) {
    WideSource in{&text, from};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    stream.pfnCallback = &ReadFromWide;
    SendMessageW(wnd, EM_STREAMIN, flags | SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0 || in.pos != text.size()) throw Exception("Cannot load the text into the editor");
}

void TCustomRichEditQX::SetText(const std::string& bytes) {
    // Whatever an Enter left pending belongs to the old text.
    Keys.DropPendingIndent();

    // Every text comes in a control of its own. The control deletes an old text
    // at a cost that grows much faster than the text (minutes for a megabyte
    // under Wine), while dropping the whole window frees it in one linear pass;
    // and a hidden control takes a text in faster than one in view, which
    // updates itself as the text arrives. The new control is built hidden and
    // quiet, loaded, and only then takes the old one's place, so a failure
    // leaves the old text as it was.
    HWND old = Wnd;
    HWND parent = GetParent(old);
    RECT place{};
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
    const auto id = reinterpret_cast<HMENU>(GetWindowLongPtrA(old, GWLP_ID));
    const LRESULT events = SendMessageA(old, EM_GETEVENTMASK, 0, 0);
    const bool hadFocus = GetFocus() == old;

    const TSourceForm form = DetectSourceForm(bytes);
    const std::u16string text = DecodeSource(bytes, form, AnsiCodePage());
    // Read back: a control that dropped or changed a character must not have
    // it saved so.
    auto faithfulIn = [&](HWND wnd) {
        std::string back;
        return EncodeSource(StreamOut(wnd), form, AnsiCodePage(), back, bytes) && back == bytes;
    };
    // The first screen comes in coloured where that gives back the text as it
    // is; else the text comes in plain, and is coloured after.
    TJavaColour::FirstScreen first;
    bool coloured = Font && Colour.PlanFirstScreen(text, LinesInView(place), &first);
    HWND fresh = CreateControl(parent, style & ~WS_VISIBLE, exStyle, place, id, 0);
    bool faithful = false;
    try {
        if (coloured && !LoadColoured(fresh, text, first, [&] { return faithfulIn(fresh); })) {
            coloured = false;
            DestroyWindow(fresh);
            fresh = nullptr;
            fresh = CreateControl(parent, style & ~WS_VISIBLE, exStyle, place, id, 0);
        }
        if (coloured) {
            faithful = true;
        } else {
            StreamIn(fresh, text, 0);
            faithful = faithfulIn(fresh);
        }
    } catch (...) {
        if (fresh) DestroyWindow(fresh);
        throw;
    }
    StartFresh(fresh);
    // The index only where the control counts lines and characters as it does.
    // It goes by UTF-16 units: a stand-in of one byte each, with the same breaks.
    std::string shape(text.size(), 'x');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n') shape[i] = static_cast<char>(text[i]);
    TLineIndex lines(shape);
    const int last = lines.LineCount() - 1;
    const bool counted = RichTextLength(fresh) == static_cast<LRESULT>(text.size()) &&
                         SendMessageA(fresh, EM_GETLINECOUNT, 0, 0) == lines.LineCount() &&
                         SendMessageA(fresh, EM_LINEINDEX, static_cast<WPARAM>(last), 0) == lines.LineStart(last);
    Colour.Loaded(fresh, counted ? &lines.Starts() : nullptr, coloured ? &first : nullptr);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, events);
    Lines = counted ? std::move(lines) : TLineIndex();
    Form_ = form;
    Loaded_ = form.MixedEnds ? bytes : std::string();
    Faithful_ = faithful;
    Wnd = fresh;
    History.Clear();
    HighSurrogate = 0;
    LeadByte = 0;
    ExpectedLength = GetTextLen();
    // Shown undrawn: the old control's going uncovers the new one, frame and
    // all, and it is drawn once, below. Drawn as it shows, too, its frame and
    // scroll bars would be drawn twice (each time a good part of an open's
    // cost under Wine).
    const bool visible = (style & WS_VISIBLE) != 0;
    SetWindowPos(fresh, old, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW | SWP_NOREDRAW : 0));
    if (hadFocus) ::SetFocus(fresh);
    // The new text in view before the old control goes: dropping a long text
    // takes the control a while (a third of a second for 4 MB under Wine).
    ShowWindow(old, SW_HIDE);
    if (visible) RedrawWindow(fresh, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    DestroyWindow(old);
}

bool TCustomRichEditQX::LoadColoured(HWND wnd, const std::u16string& text, const TJavaColour::FirstScreen& first,
                                     const std::function<bool()>& faithful) const {
    try {
        NarrowSource in{&first.rtf, 0};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, &ReadFromNarrow};
        // A whole stream, not one into the selection: its plain text is then in
        // the default format itself, as a plain load has it (Wine's control
        // takes the default line height from there, for one).
        SendMessageA(wnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
        if (stream.dwError != 0 || in.pos != first.rtf.size()) return false;
        if (static_cast<std::size_t>(first.end) < text.size()) {
            CHARRANGE end{first.end, first.end};
            SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
            StreamIn(wnd, text, SFF_SELECTION, static_cast<std::size_t>(first.end));
        }
        if (!faithful()) return false;
    } catch (...) {
        return false;
    }
    // The coloured lines and the first character after them in the control's
    // own font, and that character in the plain colour, as the rest has it.
    const int length = RichTextLength(wnd);
    auto formatOf = [&](int from, int to) {
        CHARRANGE range{from, to};
        SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATA got{};
        got.cbSize = sizeof got;
        SendMessageA(wnd, EM_GETCHARFORMAT, TRUE, reinterpret_cast<LPARAM>(&got));
        return got;
    };
    const CHARFORMATA all = formatOf(0, std::min(first.end + 1, length));
    const DWORD fontMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_CHARSET;
    const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    if ((all.dwMask & fontMask) != fontMask || all.yHeight != Format.yHeight || all.bCharSet != Format.bCharSet ||
        (all.dwEffects & effects) != (Format.dwEffects & effects) || lstrcmpA(all.szFaceName, Format.szFaceName) != 0)
        return false;
    if (first.end >= length) return true;
    const CHARFORMATA rest = formatOf(first.end, first.end + 1);
    if (Format.dwEffects & CFE_AUTOCOLOR) return (rest.dwEffects & CFE_AUTOCOLOR) != 0;
    return !(rest.dwEffects & CFE_AUTOCOLOR) && rest.crTextColor == Format.crTextColor;
}

// Lines of the font that fit in the height, and two more: the last one shown
// in part, and a margin.
int TCustomRichEditQX::LinesInView(const RECT& place) const {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int em = std::max(1, MulDiv(static_cast<int>(Format.yHeight), dpi, 1440));
    return std::max(0, static_cast<int>(place.bottom - place.top)) / em + 2;
}

// A loaded text starts at its top, wherever the control left the caret,
// unmodified and with nothing to undo.
void TCustomRichEditQX::StartFresh(HWND wnd) {
    CHARRANGE top{0, 0};
    SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageA(wnd, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(wnd, EM_SETMODIFY, FALSE, 0);
}

int TCustomRichEditQX::GetTextLen() const {
    return RichTextLength(Wnd);
}

void TCustomRichEditQX::SetEditorFont(const TEditorFont& font) {
    LOGFONTA logFont{};
    HDC screen = GetDC(nullptr);
    logFont.lfHeight = -MulDiv(font.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    logFont.lfWeight = (font.style & TEditorFont::Bold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (font.style & TEditorFont::Italic) ? 1 : 0;
    logFont.lfUnderline = (font.style & TEditorFont::Underline) ? 1 : 0;
    logFont.lfStrikeOut = (font.style & TEditorFont::StrikeOut) ? 1 : 0;
    logFont.lfCharSet = static_cast<BYTE>(font.charset);
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(logFont.lfFaceName, font.name.c_str(), LF_FACESIZE);
    HFONT newFont = CreateFontIndirectA(&logFont);
    if (!newFont) throw Exception("Cannot create the font " + font.name);

    CHARFORMATA format = CharFormatOf(font);

    // The control lets go of the old font before it is deleted.
    HFONT oldFont = Font;
    Font = newFont;
    Format = format;
    ApplyFont(Wnd);
    Colour.SetPlainColour(format.crTextColor, (format.dwEffects & CFE_AUTOCOLOR) != 0);
    Colour.AllPlain(Wnd);
    InvalidateRect(Wnd, nullptr, TRUE);
    if (oldFont) DeleteObject(oldFont);
}

void TCustomRichEditQX::ApplyFont(HWND wnd) const {
    // A new font is no edit: it neither marks the text modified nor reports a change.
    const bool modified = SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0;
    const LRESULT mask = SendMessageA(wnd, EM_SETEVENTMASK, 0, 0);
    CHARFORMATA format = Format;
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETEVENTMASK, 0, mask);
    SendMessageA(wnd, EM_SETMODIFY, modified, 0);
}
