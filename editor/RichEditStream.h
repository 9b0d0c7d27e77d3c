#pragma once
// A rich-edit control's text in and out whole: streams of UTF-16 text (never
// through the ANSI code page) or of rich text, and its length.
#include <windows.h>

#include <string>

// The count of characters (UTF-16 units, a paragraph's CR LF as two) in a rich-edit
// control. WM_GETTEXTLENGTH is no use for a long text: a message that crosses
// between a Unicode and an ANSI window procedure has its answer worked out by
// reading the whole text, and the editor's control has both.
int RichTextLength(HWND wnd);

// text from from on into wnd, with the stream's flags (SFF_SELECTION, say);
// throws Exception when the control does not take all of it.
void RichStreamIn(HWND wnd, const std::u16string& text, WPARAM flags, std::size_t from = 0);
// False when the control does not take all of the rich text.
bool RichStreamInRtf(HWND wnd, const std::string& rtf);
// The whole text; throws Exception when the control gives none.
std::u16string RichStreamOut(HWND wnd);
