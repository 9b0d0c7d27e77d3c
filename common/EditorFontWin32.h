#pragma once
// The editor font as a rich-edit control takes it.
#include <windows.h>
#include <richedit.h>

#include "EditorFont.h"

// The character format for the whole text of a rich-edit control: face, size,
// style, colour and character set of the font.
inline CHARFORMATA CharFormatOf(const TEditorFont& font) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_COLOR |
                    CFM_CHARSET;
    if (font.style & TEditorFont::Bold) format.dwEffects |= CFE_BOLD;
    if (font.style & TEditorFont::Italic) format.dwEffects |= CFE_ITALIC;
    if (font.style & TEditorFont::Underline) format.dwEffects |= CFE_UNDERLINE;
    if (font.style & TEditorFont::StrikeOut) format.dwEffects |= CFE_STRIKEOUT;
    if (font.color == TEditorFont::kWindowText)
        format.dwEffects |= CFE_AUTOCOLOR;
    else
        format.crTextColor = static_cast<COLORREF>(font.color);
    format.yHeight = font.size * 20;  // twips
    format.bCharSet = static_cast<BYTE>(font.charset);
    format.bPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(format.szFaceName, font.name.c_str(), LF_FACESIZE);
    return format;
}
