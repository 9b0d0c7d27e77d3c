#pragma once
// What the parts of the editor's control share (RichEditQX*Win32.cpp).
#include <string>

namespace richedit_qx {

// Text of the ANSI code page, in UTF-16.
std::u16string Widen(const std::string& text);

}  // namespace richedit_qx
