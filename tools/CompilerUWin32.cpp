// Start-up and shut-down of the tool runner on Windows.
#include "FilesWin32.h"
#include "LauncherWin32.h"

std::string StdErrFileName;

void InitCompilerU() { StdErrFileName = StdErrFileNameIn(TempFolder()); }

void DoneCompilerU() { StdErrFileName.clear(); }

TLauncher WindowsLauncher() {
    return [](const std::string& cmdLine, const std::string& outFile, bool hidden, std::uint32_t& exitCode) {
        CreateDOSProcessRedirected(cmdLine, outFile, hidden, exitCode);
    };
}
