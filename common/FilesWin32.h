#pragma once
// File and folder helpers on the Windows API, shared by every module.
#include <windows.h>

#include <string>

// The system's text for an error code, without the trailing line break.
std::string SystemReason(DWORD code);

// True when a file (not a folder) of that name exists.
bool FileExists(const std::string& path);

// The whole file, unchanged; false (with GetLastError set) when it cannot be
// read. Files over maxSize bytes are refused with ERROR_FILE_TOO_LARGE.
bool ReadWholeFile(const std::string& path, std::string& bytes, unsigned long long maxSize);

// The folder of the running program, with its final backslash.
std::string ProgramFolder();

// The temporary folder as GetTempPathA reports it (with its final backslash);
// empty when there is none.
std::string TempFolder();

// The current directory, with a final backslash; empty when it can't be read.
std::string CurrentFolder();

// A path in the platform's long form ("\\?\C:\..." or "\\?\UNC\server\..."),
// absolute and canonical, for the wide calls that then take it past MAX_PATH.
// Empty when it cannot be formed.
std::wstring LongPathForm(const std::string& path);
