#include "OptionsU.h"

#include <windows.h>

#include <vector>

#include "Prompts.h"
#include "QpText.h"

TOptionsF* OptionsF = nullptr;

namespace {

std::string CurrentDirectory() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buf(size + 1, '\0');
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
    if (n == 0 || n >= buf.size()) return std::string();
    std::string dir(buf.data(), n);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

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
        DWORD attrs = GetFileAttributesA(path.c_str());
        return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
    }

private:
    static constexpr const char* kMissingA = "\x01qp-missing-a\x01";
    static constexpr const char* kMissingB = "\x02qp-missing-b\x02";

    static std::string Resolve(const std::string& file) {
        return ResolveBareFileName(file, CurrentDirectory());
    }

    // False when the stand-in came back.
    static bool Read(const std::string& path, const std::string& section, const std::string& key,
                     const char* missing, std::string& value) {
        std::vector<char> buf(kMaxProfileText + 1, '\0');
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), missing, buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
        if (n >= buf.size()) n = static_cast<DWORD>(buf.size() - 1);
        value.assign(buf.data(), n);
        return value != missing;
    }
};

}  // namespace

IProfile& WindowsProfile() {
    static WinProfile profile;
    return profile;
}

TOptionsF::TOptionsF() : TOptionsStore(WindowsProfile()) { Create(); }

std::string TOptionsF::SettingsFileName() {
    // Grown until the whole path fits: the program may sit in a deep directory.
    std::vector<char> buf(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return "qp.ini";
        if (n < buf.size()) return ExtractFilePath(std::string(buf.data(), n)) + "qp.ini";
        if (buf.size() > 65536) return "qp.ini";
        buf.resize(buf.size() * 2);
    }
}

void TOptionsF::ReportJavaSdkError(const std::string& text) {
    Prompts().Message(GetActiveWindow(), text, "Error", MB_OK | MB_ICONERROR);
}
