#include "SourceFiles.h"

#include <windows.h>

#include <string>

#include "FilesWin32.h"
#include "QpErrors.h"
#include "QpText.h"
#include "ScopedWin32.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& path, DWORD code) {
    throw Exception(std::string(what) + " " + path + "\r" + SystemReason(code));
}

// 12,345,678: sizes in messages are read, not parsed.
std::string Grouped(unsigned long long n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

}  // namespace

std::string ReadSourceFile(const std::string& path) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, kMaxSourceSize)) {
        const DWORD code = GetLastError();
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (code == ERROR_FILE_TOO_LARGE && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            const unsigned long long size =
                (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            throw Exception("Cannot open file " + path + "\rThe file is " + Grouped(size) +
                            " bytes; the editor holds " + std::to_string(kMaxSourceSize >> 20) + " MB (" +
                            Grouped(kMaxSourceSize) + " bytes) at most");
        }
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

namespace {

SaveFault& InjectedFault() {
    static SaveFault fault;
    return fault;
}

DWORD Injected(SaveStep step, unsigned index = 1) {
    const SaveFault& fault = InjectedFault();
    return fault ? fault(step, index) : 0;
}

const DWORD kChunk = 1u << 16;

// The temporary file reads back exactly as bytes; otherwise the error code
// (ERROR_WRITE_FAULT when it reads back different).
DWORD ReadBackDiffers(const std::wstring& temp, const std::string& bytes) {
    if (DWORD code = Injected(SaveStep::ReadBack)) return code;
    ScopedHandle file(CreateFileW(temp.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return GetLastError();
    std::string chunk(kChunk, '\0');
    std::size_t done = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &chunk[0], kChunk, &got, nullptr)) return GetLastError();
        if (got == 0) break;
        if (done + got > bytes.size() || bytes.compare(done, got, chunk.data(), got) != 0) return ERROR_WRITE_FAULT;
        done += got;
    }
    return done == bytes.size() ? 0 : ERROR_WRITE_FAULT;
}

}  // namespace

void SetSaveFault(SaveFault fault) { InjectedFault() = std::move(fault); }

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
        if (DWORD code = Injected(SaveStep::Create)) {
            SetLastError(code);
            break;
        }
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
    bool diskFull = false;
    for (unsigned index = 1; done < bytes.size(); ++index) {
        DWORD put = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > kChunk ? kChunk : bytes.size() - done);
        const DWORD fault = diskFull ? kShortWrite : Injected(SaveStep::Write, index);
        BOOL ok = TRUE;
        if (fault == kLostWrite) {
            put = chunk;
        } else if (fault == kShortWrite) {
            ok = diskFull ? TRUE : WriteFile(file.Get(), bytes.data() + done, chunk / 2, &put, nullptr);
            diskFull = true;
        } else if (fault) {
            SetLastError(fault);
            ok = FALSE;
        } else {
            ok = WriteFile(file.Get(), bytes.data() + done, chunk, &put, nullptr);
        }
        if (!ok) failAndClean(GetLastError());
        // A write that succeeds but puts nothing means the disk is full; it would never end.
        if (put == 0) failAndClean(ERROR_DISK_FULL);
        done += put;
    }
    if (DWORD code = Injected(SaveStep::Flush)) failAndClean(code);
    if (!FlushFileBuffers(file.Get())) failAndClean(GetLastError());
    // Closing can report a write the system had deferred.
    if (!file.Close()) failAndClean(GetLastError());
    if (DWORD code = Injected(SaveStep::Close)) failAndClean(code);
    // What is on the disk must be the text before it takes the target's place.
    if (DWORD code = ReadBackDiffers(temp, bytes)) failAndClean(code);

    // Only a complete new file takes the target's place, in one rename.
    DWORD code = Injected(SaveStep::Rename);
    if (code || !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (!code) code = GetLastError();
        DeleteFileW(temp.c_str());
        Fail("Cannot save file", path, code);
    }
}
