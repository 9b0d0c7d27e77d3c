#include "QpText.h"

namespace {
// Index just past the last path delimiter, 0 when there is none.
std::size_t NameStart(const std::string& path) {
    std::size_t pos = path.find_last_of("\\:");
    return pos == std::string::npos ? 0 : pos + 1;
}

std::size_t ExtStart(const std::string& path) {
    std::size_t start = NameStart(path);
    std::size_t dot = path.rfind('.');
    return (dot == std::string::npos || dot < start) ? std::string::npos : dot;
}
}  // namespace

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFilePath(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileExt(const std::string& path) {
    std::size_t dot = ExtStart(path);
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    std::size_t dot = ExtStart(path);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}
