// A whole compiler capture, any bytes: its first line names the source, the
// rest is what the compiler wrote. Splitting, parsing and reading entries back
// must hold together.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Check.h"
#include "CompilerU.h"

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
    for (const std::string& entry : compiler.Errors) {
        // "%.4d %.4d %s": the numbers take four to eleven places each.
        const std::size_t first = entry.find(' '), second = entry.find(' ', first + 1);
        QP_CHECK(first >= 4 && first <= 11 && second - first - 1 >= 4 && second - first - 1 <= 11);
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
    // Any text read as an entry: no column without a line.
    int line = 0, column = 0;
    ReadErrorEntry(std::string(capture.substr(0, 16)), line, column);
    if (line == -1) QP_CHECK(column == -1);
    return 0;
}
