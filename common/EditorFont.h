#pragma once
// The editor font as the settings keep it: face and size are stored in qp.ini,
// style, colour and character set live only while the program runs.
#include <cstdint>
#include <functional>
#include <string>

struct TEditorFont {
    enum Style : unsigned { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    static constexpr std::uint32_t kWindowText = 0xFF000000u;  // "use the system colour"
    static constexpr int kEastEuropeCharset = 238;             // EASTEUROPE_CHARSET

    std::string name = "Courier New";
    int size = 10;                       // points
    unsigned style = 0;                  // Style bits
    std::uint32_t color = kWindowText;   // 0x00BBGGRR, or kWindowText
    int charset = kEastEuropeCharset;

    // Raised by SetName and SetSize when the value changes.
    std::function<void()> onChange;

    void SetName(const std::string& value) {
        if (value == name) return;
        name = value;
        Changed();
    }
    void SetSize(int value) {
        if (value == size) return;
        size = value;
        Changed();
    }
    void Changed() const {
        if (onChange) onChange();
    }
};
