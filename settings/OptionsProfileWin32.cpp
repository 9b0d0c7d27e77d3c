// The settings store's profile file on the profile API.
#include <windows.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
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
        if (!MayHold(path, section, key)) return def;
        std::string value;
        if (Read(path, section, key.c_str(), kMissingA, value)) return value;
        if (Read(path, section, key.c_str(), kMissingB, value)) return value;
        return def;
    }

    bool WriteString(const std::string& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        keyNames_.clear();
        return WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                          EncodeProfileValue(value).c_str(),
                                          Resolve(file).c_str()) != 0;
    }

    bool FileExists(const std::string& path) override {
        return ::FileExists(path);
    }

    void BeginReads() override { ++readPasses_; }
    void EndReads() override {
        if (readPasses_ > 0 && --readPasses_ == 0) keyNames_.clear();
    }

private:
    static constexpr const char* kMissingA = "\x01qp-missing-a\x01";
    static constexpr const char* kMissingB = "\x02qp-missing-b\x02";
    static constexpr std::size_t kLongest = 1u << 26;  // what a read takes at most

    static std::string Resolve(const std::string& file) {
        return ResolveBareFileName(file, CurrentFolder());
    }

    // False when the stand-in came back. A null key lists the section's key names.
    static bool Read(const std::string& path, const std::string& section, const char* key,
                     const char* missing, std::string& value) {
        // The whole value: a buffer the service filled to its last place may
        // have cut it (and left the quotes it was written with), so it grows.
        std::vector<char> buf(4096, '\0');
        for (;;) {
            DWORD n = GetPrivateProfileStringA(section.c_str(), key, missing, buf.data(),
                                               static_cast<DWORD>(buf.size()), path.c_str());
            if (n + 2 < buf.size() || buf.size() >= kLongest) {
                value.assign(buf.data(), std::min<std::size_t>(n, buf.size() - 1));
                return value != missing;
            }
            buf.assign(buf.size() * 2, '\0');
        }
    }

    static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
    static std::string Lower(std::string text) {
        for (char& c : text) c = Lower(c);
        return text;
    }

    // False only when the section's key names, read once in a read pass, lack
    // key: a missing key then costs no read of its own. Names the service may
    // have altered on the way to the ANSI code page ('?', bytes beyond ASCII)
    // leave the section to be read key by key.
    bool MayHold(const std::string& path, const std::string& section, const std::string& key) {
        if (readPasses_ == 0) return true;
        auto [at, added] = keyNames_.try_emplace({path, section});
        if (added) {
            std::string list;
            Read(path, section, nullptr, "", list);
            std::vector<std::string> names;
            for (std::size_t start = 0; start < list.size();) {
                std::size_t end = std::min(list.find('\0', start), list.size());
                names.push_back(Lower(list.substr(start, end - start)));
                start = end + 1;
            }
            const bool plain = std::all_of(list.begin(), list.end(), [](char c) {
                return c != '?' && static_cast<unsigned char>(c) < 0x80;
            });
            if (plain && list.size() + 2 < kLongest) at->second = std::move(names);
        }
        if (!at->second) return true;
        return std::find(at->second->begin(), at->second->end(), Lower(key)) != at->second->end();
    }

    int readPasses_ = 0;
    // Per file and section: the key names, or nothing where they can't be trusted.
    std::map<std::pair<std::string, std::string>, std::optional<std::vector<std::string>>> keyNames_;
};

}  // namespace

IProfile& WindowsProfile() {
    static WinProfile profile;
    return profile;
}
