// The settings store's profile file on the profile API.
#include <windows.h>

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
        // Room beyond what is kept: the service drops the quotes a value was
        // written with only when it has read the whole value.
        std::vector<char> buf(2 * kMaxProfileText + 2, '\0');
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), missing, buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
        if (n >= buf.size()) n = static_cast<DWORD>(buf.size() - 1);
        value = CutProfileText(std::string(buf.data(), n));
        return value != missing;
    }
};

}  // namespace

IProfile& WindowsProfile() {
    static WinProfile profile;
    return profile;
}
