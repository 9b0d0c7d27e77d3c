// Start-up and shut-down of the tool runner on Windows.
#include <windows.h>

#include <vector>

#include "CompilerU.h"

void InitCompilerU() {
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    DWORD length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        // A temporary directory longer than MAX_PATH: ask again with room for it.
        buffer.assign(length + 1, '\0');
        length = GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length >= buffer.size()) length = 0;
    }
    StdErrFileName = StdErrFileNameIn(std::string(buffer.data(), length));
}

void DoneCompilerU() { StdErrFileName.clear(); }
