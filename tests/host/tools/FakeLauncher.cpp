#include "FakeLauncher.h"

#include "CompilerU.h"
#include "QpErrors.h"
#include "TestFiles.h"

FakeLaunch fakeLaunch;

namespace {

void FakeLaunchCall(const std::string& cmdLine, const std::string& outFile, bool hidden, std::uint32_t& exitCode) {
    fakeLaunch.calls.push_back({cmdLine, outFile, hidden});
    if (fakeLaunch.events) fakeLaunch.events->push_back("<launch>");
    if (fakeLaunch.failStart) throw Exception(LauncherStartErrorText());
    if (!outFile.empty() && fakeLaunch.writeOutFile) {
        WriteFileText(outFile, fakeLaunch.stderrText);
    }
    exitCode = fakeLaunch.exitCode;
}

}  // namespace

TLauncher FakeLauncher() { return FakeLaunchCall; }
