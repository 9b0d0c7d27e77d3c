// Start-up and shut-down of the tool runner on Windows, its files in the
// temporary folder, and the launcher as the wrappers take it.
#include <windows.h>

#include "FilesWin32.h"
#include "LauncherWin32.h"
#include "QpErrors.h"
#include "ScopedWin32.h"

std::string StdErrFileName;
std::string RunBatchFileName;

namespace {

// A capture is the compiler's diagnostics: no size limit of its own.
bool ReadCaptureLongPath(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes, ~0ull);
}

}  // namespace

void InitCompilerU() {
    StdErrFileName = StdErrFileNameIn(TempFolder(), GetCurrentProcessId());
    RunBatchFileName = RunBatchFileNameIn(TempFolder(), GetCurrentProcessId());
    ReadCaptureBytes = &ReadCaptureLongPath;
}

// Both files are this instance's own: nobody reads them once the program ends.
void DoneCompilerU() {
    for (std::string* name : {&StdErrFileName, &RunBatchFileName}) {
        if (!name->empty()) DeleteFileA(name->c_str());
        name->clear();
    }
}

// The batch file in the code page its reader takes: a console's (cmd reads
// batch files in the console's code page, the OEM one of a new console). A
// character that page cannot hold would reach the program as another one, so
// the run is refused instead.
void WriteRunBatch(const std::string& path, const std::string& ansiText) {
    const int wide = MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansiText.data(), static_cast<int>(ansiText.size()), text.data(), wide);
    BOOL lost = FALSE;
    const int size = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), wide, nullptr, 0, nullptr, &lost);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), wide, bytes.data(), size, nullptr, &lost);
    if (lost)
        throw Exception("The command line holds a character the console cannot pass on to the program");
    const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file.Valid() || !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw Exception("Cannot write " + path + "\r" + SystemReason(GetLastError()));
}

TLauncher WindowsLauncher() {
    return [](const std::string& cmdLine, const std::string& outFile, bool hidden, std::uint32_t& exitCode) {
        CreateDOSProcessRedirected(cmdLine, outFile, hidden, exitCode);
    };
}
