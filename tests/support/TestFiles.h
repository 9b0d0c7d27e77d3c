#pragma once
// A test's files read and written whole, as bytes: one helper for the host and
// the Windows tests, the stand-in tools among them (a Windows path is taken in
// the ANSI code page, as the ...A calls take it).
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

// The file's bytes; nothing when it cannot be opened.
inline std::optional<std::string> ReadTestFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's bytes, or "<missing>" when it cannot be opened: an expected file
// that is not there then shows as missing in a failure, not as empty.
inline std::string ReadFileText(const std::string& path) { return ReadTestFile(path).value_or("<missing>"); }

// Replaces the file with these bytes; false when it cannot be written whole.
inline bool WriteFileText(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}
