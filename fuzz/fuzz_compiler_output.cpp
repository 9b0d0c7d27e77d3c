// A whole compiler capture, any bytes: its first line names the source, the
// rest is what the compiler wrote. Splitting, parsing and reading entries back
// must hold together.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Check.h"
#include "CompilerU.h"

namespace {

// The reading rule of an entry's field, through the C library: the characters
// from `from` to the next blank are a decimal integer within int's range, its
// sign included, and nothing else (strtoll alone would skip leading white space).
bool FieldValue(std::string_view text, std::size_t from, std::size_t& end, int& value) {
    if (from > text.size()) return false;
    end = std::min(text.find(' ', from), text.size());
    const std::string field(text.substr(from, end - from));
    if (field.empty() || std::isspace(static_cast<unsigned char>(field[0]))) return false;
    char* stop = nullptr;
    errno = 0;
    const long long v = std::strtoll(field.c_str(), &stop, 10);
    if (stop != field.c_str() + field.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t nl = input.find('\n');
    TCompiller compiler([](const std::string&, const std::string&, bool, std::uint32_t&) {}, "");
    compiler.FileName = std::string(input.substr(0, nl == std::string_view::npos ? 0 : nl));
    const std::string_view capture = nl == std::string_view::npos ? input : input.substr(nl + 1);

    compiler.Output = SplitCaptureLines(capture);
    std::size_t total = 0;
    for (const std::string& line : compiler.Output) {
        QP_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        total += line.size();
    }
    QP_CHECK(total <= capture.size());

    compiler.ParseErrors();
    QP_CHECK(compiler.Errors.size() <= compiler.Output.size() / 2);
    std::size_t widest = 0;
    for (const std::string& line : compiler.Output) widest = line.size() > widest ? line.size() : widest;
    const std::string prefix = compiler.FileName + ":";
    for (const std::string& entry : compiler.Errors) {
        // "%.4d %.4d %s": the numbers take four to eleven places each.
        const std::size_t first = entry.find(' '), second = entry.find(' ', first + 1);
        QP_CHECK(first >= 4 && first <= 11 && second - first - 1 >= 4 && second - first - 1 <= 11);
        // The column is where a caret stands, counted from 1, so within the widest line.
        const long column = std::strtol(entry.c_str() + first + 1, nullptr, 10);
        QP_CHECK(column >= 1 && static_cast<std::size_t>(column) <= widest);
        // The message is the end of a line that names the source.
        const std::string message = entry.substr(second + 1);
        bool found = false;
        for (const std::string& line : compiler.Output)
            found = found || (line.compare(0, prefix.size(), prefix) == 0 &&
                              line.size() >= prefix.size() + message.size() &&
                              line.compare(line.size() - message.size(), message.size(), message) == 0);
        QP_CHECK(found);
    }
    // An entry reads back as written, whatever the numbers.
    if (size >= 8) {
        const auto word = [&](int i) {
            return static_cast<int>(static_cast<std::uint32_t>(data[i]) << 24 | data[i + 1] << 16 |
                                    data[i + 2] << 8 | data[i + 3]);
        };
        const int l = word(0), c = word(4);
        int line = -2, column = -2;
        ReadErrorEntry(FormatErrorEntry(l, c, std::string(capture)), line, column);
        QP_CHECK(line == l && column == c);
    }
    // Any text read as an entry: the line up to the first blank when it converts;
    // the column up to the next blank, read only when the line converted.
    const std::string text(capture.substr(0, 16));
    int line = 0, column = 0, expectedLine = -1, expectedColumn = -1;
    ReadErrorEntry(text, line, column);
    std::size_t end = 0;
    if (FieldValue(text, 0, end, expectedLine) && !FieldValue(text, end + 1, end, expectedColumn))
        expectedColumn = -1;
    QP_CHECK(line == expectedLine && column == expectedColumn);
    return 0;
}
