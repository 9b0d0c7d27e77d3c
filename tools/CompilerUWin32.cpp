// Start-up and shut-down of the tool runner on Windows.
#include "FilesWin32.h"
#include "LauncherWin32.h"

std::string StdErrFileName;

namespace {

// A capture is the compiler's diagnostics: no size limit of its own.
bool ReadCaptureLongPath(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes, ~0ull);
}

}  // namespace

void InitCompilerU() {
    StdErrFileName = StdErrFileNameIn(TempFolder());
    ReadCaptureBytes = &ReadCaptureLongPath;
}

void DoneCompilerU() { StdErrFileName.clear(); }

TLauncher WindowsLauncher() {
    return [](const std::string& cmdLine, const std::string& outFile, bool hidden, std::uint32_t& exitCode) {
        CreateDOSProcessRedirected(cmdLine, outFile, hidden, exitCode);
    };
}
