#include "TypedChars.h"

bool TTypedChars::Unit(char16_t c, std::u16string& text) {
    if (c >= 0xD800 && c <= 0xDBFF) {
        HighSurrogate = c;
        return false;
    }
    text.assign(1, c);
    if (c >= 0xDC00 && c <= 0xDFFF) {
        if (!HighSurrogate) return false;
        text.insert(text.begin(), HighSurrogate);
    }
    HighSurrogate = 0;
    return true;
}
