#pragma once
// Reading and writing a source file whole, with failures that name the file
// and the reason.
#include <string>

// The file's bytes, unchanged. Throws Exception when it cannot be read.
std::string ReadSourceFile(const std::string& path);

// Writes the bytes to a new file in the target's folder and only then puts it
// in the target's place, so a failed write never leaves a damaged or missing
// target behind. Throws Exception when it cannot be written.
void WriteSourceFile(const std::string& path, const std::string& bytes);

// True when a file (not a folder) of that name exists.
bool SourceFileExists(const std::string& path);
