#pragma once
// A scripted stand-in for the launcher, handed to the wrappers in host tests in
// place of the Windows one: it "runs" a command by writing a prepared text into the output
// file and reporting a prepared exit code, and records every call.
#include <cstdint>
#include <string>
#include <vector>

#include "CompilerU.h"

struct FakeLaunch {
    struct Call {
        std::string cmdLine, outFile;
        bool hidden;
    };
    std::string stderrText;        // written to the output file, if there is one
    bool writeOutFile = true;      // false: leave the file alone (as a tool that died early would not)
    std::uint32_t exitCode = 0;
    bool failStart = false;        // throw the launcher's start failure
    std::vector<Call> calls;
    std::vector<std::string>* events = nullptr;  // gets "<launch>" at the call, for ordering

    void Reset() { *this = FakeLaunch(); }
};

extern FakeLaunch fakeLaunch;

// The fake as the wrappers take it.
TLauncher FakeLauncher();
