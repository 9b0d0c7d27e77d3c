#pragma once
// The editor's font: the font object the control draws with (owned here, the
// control only borrows it) and the character format that goes with it.
#include <windows.h>
#include <richedit.h>

#include "EditorFont.h"
#include "ScopedWin32.h"

class TRichEditFont {
public:
    bool Made() const { return Font.Get() != nullptr; }
    HFONT Handle() const { return Font.Get(); }
    const CHARFORMATA& Format() const { return Format_; }

    // Makes the font and puts it on wnd; the old one goes once wnd has let go
    // of it. Throws Exception when the font cannot be made.
    void Set(const TEditorFont& font, HWND wnd);
    // The font on wnd as its whole text's and default format; no edit: the text
    // is not marked modified, nor is a change reported.
    void ApplyTo(HWND wnd) const;

    // Whether a format read from the control is the font's own: face, size,
    // style and character set; and whether it has the font's plain colour.
    bool IsOwnFace(const CHARFORMATA& got) const;
    bool IsOwnColour(const CHARFORMATA& got) const;
    // Lines of the font that fit in a height of pixels, and two more: the last
    // one shown in part, and a margin.
    int LinesIn(int height) const;
    // A line's height on wnd, in pixels (the system font's before a font is set).
    int LineHeight(HWND wnd) const;

private:
    ScopedFont Font;
    CHARFORMATA Format_{};
};
