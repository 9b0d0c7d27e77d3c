#pragma once
// Reading and writing a source file whole, with failures that name the file
// and the reason.
#include <functional>
#include <string>

// The file's bytes, unchanged. Throws Exception when it cannot be read.
std::string ReadSourceFile(const std::string& path);

// Writes the bytes to a new file in the target's folder and only then puts it
// in the target's place, so a failed write never leaves a damaged or missing
// target behind. Throws Exception when it cannot be written.
void WriteSourceFile(const std::string& path, const std::string& bytes);

// True when a file (not a folder) of that name exists.
bool SourceFileExists(const std::string& path);

// The steps of a save, in their order.
enum class SaveStep { Create, Write, Flush, Close, ReadBack, Rename };
// A write that puts half of what it was given, with every later write of the
// save putting nothing: a disk filling up.
constexpr unsigned long kShortWrite = 0xFFFFFFFFul;
// A write that reports all bytes written but puts none.
constexpr unsigned long kLostWrite = 0xFFFFFFFEul;
// Test seam: asked before each step of every save (writes counted from 1); a
// nonzero answer makes that step fail with that system error code, or one of the
// two write faults above. The program sets none.
using SaveFault = std::function<unsigned long(SaveStep step, unsigned index)>;
void SetSaveFault(SaveFault fault);
