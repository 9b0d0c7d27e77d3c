#include "SourceFiles.h"

#include <windows.h>

#include <string>

#include "QpErrors.h"
#include "QpText.h"

namespace {

// A 32-bit program can't hold much more in the editor; refuse early and clearly.
const LONGLONG kMaxSourceSize = 256LL * 1024 * 1024;

std::string SystemReason(DWORD code) {
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = n && text ? std::string(text, n) : std::string();
    if (text) LocalFree(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' || reason.back() == ' '))
        reason.pop_back();
    if (reason.empty()) reason = "System error " + std::to_string(code) + ".";
    return reason;
}

[[noreturn]] void Fail(const char* what, const std::string& path, DWORD code) {
    throw Exception(std::string(what) + " " + path + "\r" + SystemReason(code));
}

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Close() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

}  // namespace

bool SourceFileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadSourceFile(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.h == INVALID_HANDLE_VALUE) Fail("Cannot open file", path, GetLastError());
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.h, &size)) Fail("Cannot read file", path, GetLastError());
    if (size.QuadPart > kMaxSourceSize)
        throw Exception("Cannot open file " + path + "\rThe file is larger than 256 MB.");
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.h, &bytes[done], want, &got, nullptr)) Fail("Cannot read file", path, GetLastError());
        if (got == 0) break;  // the file shrank while we read it
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

namespace {

// The save path in the platform's long form ("\\?\C:\..." or "\\?\UNC\server\..."), so
// the temporary name beside a target of up to MAX_PATH - 1 characters is not
// refused for being a few characters too long. Empty when it cannot be formed.
std::wstring LongForm(const std::string& path) {
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
    if (full.compare(0, 4, L"\\\\?\\") == 0) return full;
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// Longest name a folder entry may have on the usual file systems.
const std::size_t kMaxNameLength = 255;

std::wstring TempNameFor(const std::wstring& target, unsigned n) {
    wchar_t hex[8];
    wsprintfW(hex, L"%04X", n & 0xFFFF);
    const std::size_t slash = target.find_last_of(L'\\');
    const std::size_t nameLength = target.size() - slash - 1;
    // Named after the target, so a leftover tells whose it was; a name at the
    // length limit gets a short one instead.
    if (nameLength + 6 <= kMaxNameLength) return target + L".~" + hex;
    return target.substr(0, slash + 1) + L"~qp" + hex + L".tmp";
}

}  // namespace

void WriteSourceFile(const std::string& path, const std::string& bytes) {
    // Longer names than this could be saved but never opened again.
    if (path.size() >= MAX_PATH) Fail("Cannot save file", path, ERROR_FILENAME_EXCED_RANGE);
    const std::wstring target = LongForm(path);
    if (target.empty()) Fail("Cannot save file", path, GetLastError() ? GetLastError() : ERROR_INVALID_NAME);

    DWORD attributes = GetFileAttributesW(target.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) Fail("Cannot save file", path, ERROR_ACCESS_DENIED);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) Fail("Cannot save file", path, ERROR_ACCESS_DENIED);

    // The new text goes to a file of its own beside the target first.
    std::wstring temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned n = GetTickCount() & 0xFFFF, tries = 0; tries < 100; ++n, ++tries) {
        temp = TempNameFor(target, n);
        created = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (created == INVALID_HANDLE_VALUE) Fail("Cannot save file", path, GetLastError());
    Handle file(created);

    auto failAndClean = [&](DWORD code) {
        file.Close();
        DeleteFileW(temp.c_str());
        Fail("Cannot save file", path, code);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > (1u << 20) ? (1u << 20) : bytes.size() - done);
        if (!WriteFile(file.h, bytes.data() + done, chunk, &put, nullptr) || put == 0) failAndClean(GetLastError());
        done += put;
    }
    if (!FlushFileBuffers(file.h)) failAndClean(GetLastError());
    file.Close();

    // Only a complete new file takes the target's place, in one rename.
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        Fail("Cannot save file", path, code);
    }
}
