// Start-up and shut-down of the tool runner on Windows.
#include <windows.h>

#include "FilesWin32.h"
#include "LauncherWin32.h"

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

TLauncher WindowsLauncher() {
    return [](const std::string& cmdLine, const std::string& outFile, bool hidden, std::uint32_t& exitCode) {
        CreateDOSProcessRedirected(cmdLine, outFile, hidden, exitCode);
    };
}
