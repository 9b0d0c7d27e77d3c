#pragma once
// A new text's first lines as rich text with their colours, planned before the
// text goes into the control, so that its first screen comes in coloured with
// the load itself: set run by run after a plain load, the same colours cost
// the control a selection and a format for every run of one colour.
#include <cstdint>
#include <string>
#include <vector>

struct TFirstScreen {
    std::string rtf;                    // the stream
    int end = 0;                        // where in the text the lines end, their breaks included
    std::vector<std::string> colours;  // each line's colours, one TJavaToken a character
    std::vector<std::uint8_t> states;  // the state each line starts in

    // The first lines of text; false where they are best loaded plain:
    // nothing in them to colour, or characters the stream would not give
    // back as they are.
    bool Plan(const std::u16string& text, int lines);
};
