// The settings store's profile file on the profile API.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FilesWin32.h"
#include "OptionsU.h"
#include "QpText.h"

namespace {

class WinProfile : public IProfile {
public:
    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) override {
        // The API trims blanks off a default and cuts a long one, so the caller's
        // default is never handed to it: a key is missing only when two different
        // stand-ins both come back.
        std::string path = Resolve(file);
        std::string value;
        if (Read(path, section, key, kMissingA, value)) return value;
        if (Read(path, section, key, kMissingB, value)) return value;
        return def;
    }

    bool WriteString(const std::string& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                          EncodeProfileValue(value).c_str(),
                                          Resolve(file).c_str()) != 0;
    }

    bool FileExists(const std::string& path) override {
        return ::FileExists(path);
    }

private:
    static constexpr const char* kMissingA = "\x01qp-missing-a\x01";
    static constexpr const char* kMissingB = "\x02qp-missing-b\x02";

    static std::string Resolve(const std::string& file) {
        return ResolveBareFileName(file, CurrentFolder());
    }

    // False when the stand-in came back.
    static bool Read(const std::string& path, const std::string& section, const std::string& key,
                     const char* missing, std::string& value) {
        // The whole value: a buffer the service filled to its last place may
        // have cut it (and left the quotes it was written with), so it grows.
        std::vector<char> buf(4096, '\0');
        for (;;) {
            DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), missing, buf.data(),
                                               static_cast<DWORD>(buf.size()), path.c_str());
            if (n + 2 < buf.size() || buf.size() >= (1u << 26)) {
                value.assign(buf.data(), std::min<std::size_t>(n, buf.size() - 1));
                return value != missing;
            }
            buf.assign(buf.size() * 2, '\0');
        }
    }
};

}  // namespace

IProfile& WindowsProfile() {
    static WinProfile profile;
    return profile;
}
