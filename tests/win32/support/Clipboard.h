#pragma once
// Puts text on the clipboard in UTF-16, as another program's copy does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

inline void CopyToClipboard(HWND owner, const std::u16string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(mem), text.c_str(), bytes);
    GlobalUnlock(mem);
    SetClipboardData(CF_UNICODETEXT, mem);
    CloseClipboard();
}
