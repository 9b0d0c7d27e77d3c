#include "FilesWin32.h"

#include <vector>

#include "ScopedWin32.h"

std::string SystemReason(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    const ScopedResource<char*, &LocalFree> owned(text);
    std::string reason = n && text ? std::string(text, n) : std::string();
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
        reason.pop_back();
    if (reason.empty()) reason = "System error " + std::to_string(code) + ".";
    return reason;
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, unsigned long long maxSize) {
    // In the long form, as the program writes its files: a path past MAX_PATH
    // that could be written can be read back.
    const std::wstring full = LongPathForm(path);
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
    ScopedHandle file(full.empty() ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, flags, nullptr)
                                   : CreateFileW(full.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, flags, nullptr));
    if (!file.Valid()) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) return false;
    if (static_cast<unsigned long long>(size.QuadPart) > maxSize) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.Get(), &bytes[done], want, &got, nullptr)) return false;
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    bytes.resize(done);
    return true;
}

std::string ProgramFolder() {
    // Grown until the whole path fits: the program may sit in a deep folder.
    std::vector<char> buf(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::string();
        if (n < buf.size()) {
            std::string path(buf.data(), n);
            std::size_t cut = path.find_last_of("\\:");
            return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
        }
        if (buf.size() > 65536) return std::string();
        buf.resize(buf.size() * 2);
    }
}

std::string TempFolder() {
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        // A temporary folder longer than MAX_PATH: ask again with room for it.
        buffer.assign(length + 1, '\0');
        length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length >= buffer.size()) length = 0;
    }
    return std::string(buffer.data(), length);
}

std::string CurrentFolder() {
    DWORD size = GetCurrentDirectoryA(0, nullptr);
    if (size == 0) return std::string();
    std::vector<char> buf(size + 1, '\0');
    DWORD n = GetCurrentDirectoryA(static_cast<DWORD>(buf.size()), buf.data());
    if (n == 0 || n >= buf.size()) return std::string();
    std::string dir(buf.data(), n);
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir;
}

std::wstring LongPathForm(const std::string& path) {
    int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0) return L"";
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    // The long form takes the path as it stands: resolve ".", ".." and "/" first.
    DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return L"";
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return L"";
    full.resize(size);
    if (full.compare(0, 4, L"\\\\?\\") == 0 || full.compare(0, 4, L"\\\\.\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}
