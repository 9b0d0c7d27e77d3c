#pragma once
// A test's own folder for the tool runner's Windows tests.
#include <windows.h>

#include <string>

#include "FilesWin32.h"

// A fresh directory under the temporary directory, with its final backslash.
inline std::string MakeTestDir(const std::string& name) {
    std::string dir = TempFolder() + "qp_tools_" + name + "_" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}
