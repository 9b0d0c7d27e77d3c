// The first screen's lines go into the new control as rich text, colours and
// all, in one stream, and the rest of the text after them as plain text.
#include "FirstScreen.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>

#include "JavaColourInternalWin32.h"

using namespace java_colour;

namespace {

void AddColour(std::string& rtf, COLORREF c) {
    rtf += "\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" +
           std::to_string(GetBValue(c)) + ";";
}

// A character as rich text reads it back: escaped where rich text gives it a
// meaning; false for one we leave to the plain load.
bool AddChar(std::string& rtf, char16_t c) {
    if (c == u'\t') {
        rtf += "\\tab ";
        return true;
    }
    if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF) || c >= 0xFFFE) return false;
    if (c == u'\\' || c == u'{' || c == u'}') rtf += '\\';
    if (c < 0x80) {
        rtf += static_cast<char>(c);
        return true;
    }
    rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
    return true;
}

}  // namespace

// The stream names no font: its text takes the control's default format, the
// one the plain text has. Plain text is outside any group, each coloured run a
// group of its own, so that the plain text is in that very format (a format
// set and set back would be another, of the same look).
bool TFirstScreen::Plan(const std::u16string& text, int lines) {
    rtf.clear();
    colours.clear();
    states.clear();
    end = 0;
    // A text with characters the control may take otherwise loads as it always did.
    if (lines <= 0 || text.empty() ||
        std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n'; }))
        return false;
    rtf = "{\\rtf1\\ansi\\uc1{\\colortbl;";
    for (int kind = 1; kind <= static_cast<int>(TJavaToken::Annotation); ++kind) AddColour(rtf, Palette(static_cast<char>(kind)));
    rtf += "}";
    bool anyColour = false;
    TLexState state = TLexState::Code;
    std::size_t pos = 0;
    for (int l = 0; l < lines && pos < text.size(); ++l) {
        // The text's lines are joined by CR LF, as the control keeps them.
        const std::size_t found = text.find(u"\r\n", pos);
        const std::size_t lineEnd = found == std::u16string::npos ? text.size() : found;
        const std::string s = Narrow(text.data() + pos, lineEnd - pos);
        TLexState next = state;
        const std::string want = LineColours(s, state, &next);
        std::string shown(s.size(), static_cast<char>(TJavaToken::Plain));
        std::vector<Run> runs;
        PlanRuns(s, want, shown, 0, runs);
        anyColour = anyColour || !runs.empty();
        for (std::size_t i = 0; i < s.size(); ++i) {
            const char colour = shown[i];
            const bool starts = colour != 0 && (i == 0 || shown[i - 1] != colour);
            if (starts) rtf += "{\\cf" + std::to_string(colour) + " ";
            if (!AddChar(rtf, text[pos + i])) return false;
            if (colour != 0 && (i + 1 == s.size() || shown[i + 1] != colour)) rtf += "}";
        }
        states.push_back(static_cast<std::uint8_t>(state));
        colours.push_back(std::move(shown));
        state = next;
        if (found == std::u16string::npos) {
            pos = text.size();
        } else {
            rtf += "\\par\r\n";
            pos = found + 2;
        }
    }
    // The control drops a whole stream's last line break: this one.
    rtf += "\\par}";
    end = static_cast<int>(pos);
    return anyColour;
}
