// A source of any bytes: the package name read from it is a dotted name of
// identifier bytes, and the place to build from keeps the source's own folder
// or a folder it ends in; the encoding choice names a charset only for bytes
// outside ASCII.
#include <cstdint>
#include <string>

#include "Check.h"
#include "QPadBuildU.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string source(reinterpret_cast<const char*>(data), size);
    const std::string package = PackageNameOf(source);
    if (!package.empty()) {
        QP_CHECK(package.front() != '.' && package.back() != '.');
        QP_CHECK(package.find("..") == std::string::npos);
        // Each part: identifier bytes (letters beyond ASCII in any encoding), not led by a digit.
        for (std::size_t i = 0; i < package.size(); ++i) {
            const auto c = static_cast<unsigned char>(package[i]);
            const bool digit = c >= '0' && c <= '9';
            QP_CHECK(c == '.' || digit || c == '_' || c == '$' || c >= 0x80 ||
                     ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'));
            QP_CHECK(!digit || (i > 0 && package[i - 1] != '.'));
        }
    }

    const std::string file = "C:\\work\\src\\app\\util\\Hello.java";
    const BuildPlace place = BuildPlaceFor(file, package);
    QP_CHECK(!place.className.empty());
    QP_CHECK(file.compare(0, place.folder.size(), place.folder) == 0);
    QP_CHECK(place.note.empty() || place.folder == "C:\\work\\src\\app\\util\\");

    bool ascii = true;
    for (unsigned char c : source) ascii = ascii && c < 0x80;
    const std::string encoding = SourceEncodingFor(source, "-g %j", 1252);
    QP_CHECK(ascii == encoding.empty());
    QP_CHECK(encoding.empty() || encoding == (IsValidUtf8(source) ? "UTF-8" : "windows-1252"));
    return 0;
}
