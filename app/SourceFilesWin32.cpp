#include "SourceFiles.h"

#include <windows.h>

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

void WriteSourceFile(const std::string& path, const std::string& bytes) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) Fail("Cannot save file", path, ERROR_ACCESS_DENIED);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) Fail("Cannot save file", path, ERROR_ACCESS_DENIED);

    // The new text goes to a file of its own beside the target first.
    std::string temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (unsigned n = GetTickCount() & 0xFFFF, tries = 0; tries < 100; ++n, ++tries) {
        char suffix[16];
        wsprintfA(suffix, ".~%04X", n & 0xFFFF);
        temp = path + suffix;
        created = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (created == INVALID_HANDLE_VALUE) Fail("Cannot save file", path, GetLastError());
    Handle file(created);

    auto failAndClean = [&](DWORD code) {
        file.Close();
        DeleteFileA(temp.c_str());
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
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileA(temp.c_str());
        Fail("Cannot save file", path, code);
    }
}
