#pragma once
// A Java lexer for colouring, one line at a time. What a line looks like depends
// only on its text and the state the line before ended in (inside a block or
// documentation comment, or inside a text block), so an editor can colour any
// line once it knows the state at that line's start.
#include <cstdint>
#include <string_view>
#include <vector>

enum class TLexState : std::uint8_t { Code, BlockComment, DocComment, TextBlock };

enum class TJavaToken : std::uint8_t { Plain, Keyword, String, Comment, Number, Annotation };

struct TJavaSpan {
    int Start = 0;
    int Length = 0;
    TJavaToken Kind = TJavaToken::Plain;
    bool operator==(const TJavaSpan&) const = default;
};

// Lexes one line, given without its line break, from the state its line starts
// in; appends the line's coloured spans (never Plain ones, in order, not
// overlapping) to spans and returns the state the next line starts in.
TLexState LexJavaLine(std::string_view line, TLexState state, std::vector<TJavaSpan>& spans);

// The start of the line after the one that starts at pos: past the line's CR LF,
// CR, LF or CR CR LF, as the editor control splits lines; text.size() for the last line.
std::size_t NextJavaLine(std::string_view text, std::size_t pos, std::size_t* lineEnd);

// The state each line of a text starts in, kept up to date through edits: an
// edit marks its lines changed, and the lines below are lexed again only until
// a line starts in the state it started in before (a closed comment usually
// settles within the edited line, an opened one runs on to the next "*/").
class TJavaLineStates {
public:
    // A new text of lineCount lines, none of them lexed yet.
    void Reset(int lineCount);
    int LineCount() const { return static_cast<int>(States.size()); }
    // Lines [first, first + removed) became inserted lines of new text.
    void Replace(int first, int removed, int inserted);
    // Lines before Next() start in a known state; Next() == LineCount() when all do.
    int Next() const { return Known; }
    TLexState StartOf(int line) const { return static_cast<TLexState>(States[line] & kStateBits); }
    // Lexes line Next() - 1, whose text is given, and moves Next() on: by one,
    // or past every line whose state still holds.
    void Advance(std::string_view text);

private:
    static constexpr std::uint8_t kStateBits = 0x7F, kUnknown = 0x7F, kChanged = 0x80;
    std::vector<std::uint8_t> States;  // the start state, and whether the line changed since
    int Known = 0;
};
