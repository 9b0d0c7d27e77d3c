#include "SourceFiles.h"

#include <windows.h>

#include <string>

#include "FilesWin32.h"
#include "QpErrors.h"
#include "QpText.h"
#include "ScopedWin32.h"

namespace {

// A 32-bit program can't hold much more in the editor; refuse early and clearly.
const unsigned long long kMaxSourceSize = 256LL * 1024 * 1024;

[[noreturn]] void Fail(const char* what, const std::string& path, DWORD code) {
    throw Exception(std::string(what) + " " + path + "\r" + SystemReason(code));
}

}  // namespace

bool SourceFileExists(const std::string& path) { return FileExists(path); }

std::string ReadSourceFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, kMaxSourceSize)) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_TOO_LARGE)
            throw Exception("Cannot open file " + path + "\rThe file is larger than 256 MB.");
        Fail("Cannot open file", path, code);
    }
    return bytes;
}

namespace {

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
    const std::wstring target = LongPathForm(path);
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
    ScopedHandle file(created);

    auto failAndClean = [&](DWORD code) {
        file.Close();
        DeleteFileW(temp.c_str());
        Fail("Cannot save file", path, code);
    };
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > (1u << 20) ? (1u << 20) : bytes.size() - done);
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) failAndClean(GetLastError());
        done += put;
    }
    if (!FlushFileBuffers(file.Get())) failAndClean(GetLastError());
    file.Close();

    // Only a complete new file takes the target's place, in one rename.
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        Fail("Cannot save file", path, code);
    }
}
