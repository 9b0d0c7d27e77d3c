// The JDK search on the real machine: the process environment, the registry in
// the view asked for, folder listings and files.
#include <windows.h>

#include <vector>

#include "FilesWin32.h"
#include "JdkFinder.h"
#include "ScopedWin32.h"

namespace {

// A release file is a few hundred bytes; anything far larger is not one.
constexpr unsigned long long kMaxReleaseFile = 64 * 1024;

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

// The view's flag is ignored by 32-bit Windows, where there is one registry.
REGSAM ViewFlag(RegistryView view) { return view == RegistryView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

class WindowsPlaces : public IJdkPlaces {
public:
    std::string Environment(const std::string& name) override {
        DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
        if (size == 0) return std::string();
        std::string value(size, '\0');
        DWORD n = GetEnvironmentVariableA(name.c_str(), value.data(), size);
        if (n == 0 || n >= size) return std::string();  // changed meanwhile, or gone
        value.resize(n);
        return value;
    }

    std::vector<std::string> RegistrySubkeys(RegistryRoot root, RegistryView view, const std::string& key) override {
        std::vector<std::string> names;
        HKEY opened = nullptr;
        if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | ViewFlag(view),
                          &opened) != ERROR_SUCCESS)
            return names;
        const ScopedRegKey owned(opened);
        DWORD count = 0, longest = 0;
        if (RegQueryInfoKeyA(opened, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        std::vector<char> name(longest + 1);
        for (DWORD i = 0; i < count; ++i) {
            DWORD length = static_cast<DWORD>(name.size());
            if (RegEnumKeyExA(opened, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
                names.emplace_back(name.data(), length);
        }
        return names;
    }

    std::string RegistryValue(RegistryRoot root, RegistryView view, const std::string& key,
                              const std::string& name) override {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(RootKey(root), key.c_str(), 0, KEY_QUERY_VALUE | ViewFlag(view), &opened) != ERROR_SUCCESS)
            return std::string();
        const ScopedRegKey owned(opened);
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::string();
        // The stored text need not end with its zero: room for one more.
        std::vector<char> data(size + 1, '\0');
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
            ERROR_SUCCESS)
            return std::string();
        std::string value(data.data());
        return type == REG_EXPAND_SZ ? Expanded(value) : value;
    }

    std::vector<std::string> Subfolders(const std::string& dir) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        ScopedFind find(FindFirstFileA((dir + "*").c_str(), &found));
        if (!find.Valid()) return names;
        do {
            const std::string name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(find.Get(), &found));
        return names;
    }

    std::optional<std::string> FileText(const std::string& path) override {
        std::string bytes;
        if (!ReadWholeFile(path, bytes, kMaxReleaseFile)) return std::nullopt;
        return bytes;
    }

    bool FileExists(const std::string& path) override { return ::FileExists(path); }

private:
    static std::string Expanded(const std::string& text) {
        DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
        if (size == 0) return text;
        std::vector<char> out(size);
        DWORD n = ExpandEnvironmentStringsA(text.c_str(), out.data(), size);
        return n == 0 || n > size ? text : std::string(out.data());
    }
};

}  // namespace

IJdkPlaces& WindowsJdkPlaces() {
    static WindowsPlaces places;
    return places;
}
