#pragma once
// Characters as the keyboard's messages bring them: one beyond U+FFFF comes in
// two UTF-16 halves, one of a double-byte code page (to a window that is not a
// Unicode one) in two bytes. What came of a character so far waits here.
#include <string>

class TTypedChars {
public:
    // A UTF-16 unit: true with the whole character in text; false while a first
    // half waits, and for a second half that has none before it.
    bool Unit(char16_t c, std::u16string& text);
    // A byte of the ANSI code page: true with the character's bytes; false while
    // a lead byte waits. isLead(byte) tells a lead byte; it is asked only when
    // none waits.
    template <class IsLead>
    bool Byte(char byte, IsLead isLead, std::string& bytes) {
        if (LeadByte == 0 && isLead(byte)) {
            LeadByte = byte;
            return false;
        }
        bytes = LeadByte ? std::string{LeadByte, byte} : std::string(1, byte);
        LeadByte = 0;
        return true;
    }
    // A new text: nothing waits.
    void Clear() {
        HighSurrogate = 0;
        LeadByte = 0;
    }

private:
    char16_t HighSurrogate = 0;
    char LeadByte = 0;
};
