#pragma once
// The tool runner's Windows side: the launcher on CreateProcessA and the
// compiler's capture file in the temporary folder.
#include <cstdint>
#include <string>

#include "CompilerU.h"

// The compiler's capture file: the temporary folder followed by this process's
// "stderr-<pid>.out". Set by InitCompilerU() once at start-up; empty before that.
extern std::string StdErrFileName;
// Run's batch file beside it, "qp-run-<pid>.bat"; set and cleared with it.
extern std::string RunBatchFileName;

// The program entry calls InitCompilerU() once before it creates any window, and
// DoneCompilerU() when the message loop has ended (it removes both files).
void InitCompilerU();
void DoneCompilerU();

// The launcher on CreateProcessA (see TLauncher). Returns 0; every failure
// throws Exception with one of the launcher's texts.
std::uint32_t CreateDOSProcessRedirected(const std::string& cmdLine, const std::string& outFile,
                                         bool hidden, std::uint32_t& exitCode);

// Writes Run's batch file from text in the ANSI code page, in the code page
// cmd reads it in; throws Exception when it cannot be written or holds a
// character that code page lacks.
void WriteRunBatch(const std::string& path, const std::string& ansiText);

// CreateDOSProcessRedirected as the wrappers take it.
TLauncher WindowsLauncher();
