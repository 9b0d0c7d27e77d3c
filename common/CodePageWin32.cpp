#include "CodePageWin32.h"

#include <windows.h>

namespace {

class TAnsiCodePage : public ICodePage {
public:
    std::u16string ToWide(std::string_view bytes) const override {
        if (bytes.empty()) return {};
        if (GetACP() == CP_UTF8) {
            std::u16string text;
            if (Utf8ToUtf16(bytes, text)) return text;
        }
        const int size = static_cast<int>(bytes.size());
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
        std::u16string text(static_cast<std::size_t>(n > 0 ? n : 0), u'\0');
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()), n);
        return text;
    }

    bool FromWide(std::u16string_view text, std::string& bytes) const override {
        bytes.clear();
        if (text.empty()) return true;
        // A system whose ANSI page is UTF-8 takes no default character.
        if (GetACP() == CP_UTF8) return Utf16ToUtf8(text, bytes);
        const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
        const int size = static_cast<int>(text.size());
        // No best fit: a character the page lacks is reported, never swapped for a look-alike.
        BOOL lost = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, nullptr, 0, nullptr, &lost);
        if (n <= 0 || lost) return false;
        bytes.resize(static_cast<std::size_t>(n));
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, size, bytes.data(), n, nullptr, &lost);
        return !lost;
    }
};

}  // namespace

const ICodePage& AnsiCodePage() {
    static const TAnsiCodePage page;
    return page;
}
