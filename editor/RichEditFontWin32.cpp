#include "RichEditFont.h"

#include <algorithm>

#include "EditorFontWin32.h"
#include "QpErrors.h"

namespace {

int ScreenDpi() {
    ScopedGetDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

}  // namespace

void TRichEditFont::Set(const TEditorFont& font, HWND wnd) {
    LOGFONTA logFont{};
    logFont.lfHeight = -MulDiv(font.size, ScreenDpi(), 72);
    logFont.lfWeight = (font.style & TEditorFont::Bold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (font.style & TEditorFont::Italic) ? 1 : 0;
    logFont.lfUnderline = (font.style & TEditorFont::Underline) ? 1 : 0;
    logFont.lfStrikeOut = (font.style & TEditorFont::StrikeOut) ? 1 : 0;
    logFont.lfCharSet = static_cast<BYTE>(font.charset);
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(logFont.lfFaceName, font.name.c_str(), LF_FACESIZE);
    ScopedFont made(CreateFontIndirectA(&logFont));
    if (!made.Get()) throw Exception("Cannot create the font " + font.name);

    // The control lets go of the old font before it is deleted.
    const ScopedFont old(Font.Release());
    Font.Reset(made.Release());
    Format_ = CharFormatOf(font);
    ApplyTo(wnd);
}

void TRichEditFont::ApplyTo(HWND wnd) const {
    const bool modified = SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0;
    const LRESULT mask = SendMessageA(wnd, EM_SETEVENTMASK, 0, 0);
    CHARFORMATA format = Format_;
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Get()), FALSE);
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETEVENTMASK, 0, mask);
    SendMessageA(wnd, EM_SETMODIFY, modified, 0);
}

bool TRichEditFont::IsOwnFace(const CHARFORMATA& got) const {
    const DWORD fontMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_CHARSET;
    const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT;
    return (got.dwMask & fontMask) == fontMask && got.yHeight == Format_.yHeight &&
           got.bCharSet == Format_.bCharSet && (got.dwEffects & effects) == (Format_.dwEffects & effects) &&
           lstrcmpA(got.szFaceName, Format_.szFaceName) == 0;
}

bool TRichEditFont::IsOwnColour(const CHARFORMATA& got) const {
    if (Format_.dwEffects & CFE_AUTOCOLOR) return (got.dwEffects & CFE_AUTOCOLOR) != 0;
    return !(got.dwEffects & CFE_AUTOCOLOR) && got.crTextColor == Format_.crTextColor;
}

int TRichEditFont::LinesIn(int height) const {
    const int em = std::max(1, MulDiv(static_cast<int>(Format_.yHeight), ScreenDpi(), 1440));
    return std::max(0, height) / em + 2;
}

int TRichEditFont::LineHeight(HWND wnd) const {
    int lineHeight = 16;
    ScopedGetDC dc(wnd);
    if (dc.Get()) {
        const ScopedSelect font(dc.Get(), Font.Get() ? Font.Get() : GetStockObject(SYSTEM_FONT));
        TEXTMETRICA metrics;
        if (GetTextMetricsA(dc.Get(), &metrics)) lineHeight = std::max<int>(1, metrics.tmHeight);
    }
    return lineHeight;
}
