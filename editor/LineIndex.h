#pragma once
// Where each line of a loaded text starts, as the editor control counts lines
// and characters: the control's own lookups walk its text from the top, which
// costs milliseconds for each selection change deep in a long text.
#include <string>
#include <string_view>
#include <vector>

class TLineIndex {
public:
    TLineIndex() = default;
    // The line starts of text as the plain-text control breaks it: CR LF, a lone
    // CR, a lone LF, and CR CR LF are one line break each; every byte counts as
    // one character.
    explicit TLineIndex(std::string_view text);

    bool Empty() const { return starts_.empty(); }
    int LineCount() const { return static_cast<int>(starts_.size()); }
    int TextLength() const { return length_; }
    // The line holding character pos (0-based; a position past the end is on the last line).
    int LineOf(int pos) const;
    // The first character of line, or -1 for a line that is not there.
    int LineStart(int line) const;
    const std::vector<int>& Starts() const { return starts_; }
    // [start, end) replaced with text, given one byte a character with its line
    // breaks as they are. Where a break at either end of text could pair with
    // one beside it, or the range is not in the text, the index empties. (A CR
    // before a CR LF also pairs: the caller checks the line count.)
    void Replace(int start, int end, std::string_view text);

private:
    std::vector<int> starts_;
    int length_ = 0;
};

// A UTF-16 text as the index takes it, the control counting UTF-16 units: a
// stand-in of one byte a unit, with the same line breaks.
std::string LineShape(std::u16string_view text);
