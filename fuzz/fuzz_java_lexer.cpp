// Any bytes as a Java text, then as a series of edits to it: the lexer's spans
// stay inside their line, in order and consistent with the state it carries,
// and the line states kept through the edits (relexed only as far as needed,
// sometimes only part of the way between edits) always equal those of lexing
// the edited text whole from its top.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Check.h"
#include "JavaLexer.h"

namespace {

std::vector<std::size_t> LineStarts(std::string_view text) {
    std::vector<std::size_t> starts{0};
    std::size_t end = 0;
    for (std::size_t next = NextJavaLine(text, 0, &end); end < text.size(); next = NextJavaLine(text, next, &end))
        starts.push_back(next);
    return starts;
}

std::string_view Line(std::string_view text, const std::vector<std::size_t>& starts, std::size_t line) {
    std::size_t end = 0;
    NextJavaLine(text, starts[line], &end);
    return text.substr(starts[line], end - starts[line]);
}

// Every line's start state, lexing from the top; checks each line's spans on the way.
std::vector<TLexState> WholeText(std::string_view text, const std::vector<std::size_t>& starts) {
    std::vector<TLexState> states{TLexState::Code};
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::string_view line = Line(text, starts, i);
        std::vector<TJavaSpan> spans;
        const TLexState start = states.back(), end = LexJavaLine(line, start, spans);
        int at = 0;
        for (const auto& span : spans) {
            QP_CHECK(span.Start >= at && span.Length > 0 && span.Kind != TJavaToken::Plain);
            at = span.Start + span.Length;
        }
        QP_CHECK(at <= static_cast<int>(line.size()));
        // A line that starts inside a comment or text block shows it from its first column,
        // and one that ends inside one shows it up to its last.
        if (start != TLexState::Code && !line.empty())
            QP_CHECK(!spans.empty() && spans.front().Start == 0);
        if (end != TLexState::Code && !line.empty())
            QP_CHECK(!spans.empty() && at == static_cast<int>(line.size()) &&
                     spans.back().Kind == (end == TLexState::TextBlock ? TJavaToken::String : TJavaToken::Comment));
        states.push_back(end);
    }
    states.pop_back();
    return states;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first half is the text; the rest, four bytes an edit: where, how much
    // goes, how much of the text comes in again there, how far to relex after.
    const std::size_t half = size / 2;
    std::string text(reinterpret_cast<const char*>(data), half);
    auto starts = LineStarts(text);
    TJavaLineStates kept;
    kept.Reset(static_cast<int>(starts.size()));
    for (std::size_t k = half; k + 4 <= size; k += 4) {
        const std::size_t at = text.empty() ? 0 : data[k] * text.size() / 256;
        const std::size_t gone = std::min<std::size_t>(data[k + 1] % 16, text.size() - at);
        const std::string added(reinterpret_cast<const char*>(data) + data[k + 2] % (half + 1),
                                std::min<std::size_t>(data[k + 2] / 16, half - data[k + 2] % (half + 1)));
        // The lines the edit touches, before and after it, as an editor finds them.
        auto lineOf = [](const std::vector<std::size_t>& s, std::size_t pos) {
            std::size_t line = 0;
            while (line + 1 < s.size() && s[line + 1] <= pos) ++line;
            return line;
        };
        // A CR LF pair cut in two, or one made whole, changes the line before too.
        const std::size_t first = lineOf(starts, at > 0 ? at - 1 : 0);
        const std::size_t lastBefore = lineOf(starts, std::min(at + gone + 1, text.size()));
        text.replace(at, gone, added);
        starts = LineStarts(text);
        const std::size_t lastAfter = lineOf(starts, std::min(at + added.size() + 1, text.size()));
        kept.Replace(static_cast<int>(first), static_cast<int>(lastBefore - first + 1),
                     static_cast<int>(lastAfter - first + 1));
        QP_CHECK(kept.LineCount() == static_cast<int>(starts.size()));
        for (int steps = data[k + 3]; steps > 0 && kept.Next() < kept.LineCount(); --steps)
            kept.Advance(Line(text, starts, static_cast<std::size_t>(kept.Next() - 1)));
    }
    while (kept.Next() < kept.LineCount()) kept.Advance(Line(text, starts, static_cast<std::size_t>(kept.Next() - 1)));
    const auto whole = WholeText(text, starts);
    for (std::size_t i = 0; i < whole.size(); ++i) QP_CHECK(kept.StartOf(static_cast<int>(i)) == whole[i]);
    return 0;
}
