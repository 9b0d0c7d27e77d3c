#pragma once
// Reading and writing a source file whole, with failures that name the file
// and the reason.
#include <functional>
#include <string>

// The largest source Open loads. Under Wine the editor control takes about 180
// bytes of memory per character, the 32-bit program has 2 GB of address space,
// and an Open loads the new text before it drops the old one, so two texts at
// the limit must fit at once (measured: three 4 MB Opens in a row peak at
// 1.5 GB; with 8 MB the second Open runs out of memory and crashes).
constexpr unsigned long long kMaxSourceSize = 4ull << 20;

// The file's bytes, unchanged. Throws Exception when it cannot be read, or
// names the file and its size when it is over kMaxSourceSize.
std::string ReadSourceFile(const std::string& path);

// Writes the bytes to a new file in the target's folder and only then puts it
// in the target's place, so a failed write never leaves a damaged or missing
// target behind. Throws Exception when it cannot be written.
void WriteSourceFile(const std::string& path, const std::string& bytes);

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
