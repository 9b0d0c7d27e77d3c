#pragma once
// The clipboard held open, and a memory block held locked, each for as long as
// its object lives.
#include <windows.h>

#include <cstddef>

class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ~ScopedClipboard() {
        if (open_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    bool Open() const { return open_; }

private:
    bool open_;
};

class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~ScopedGlobalLock() {
        if (data_) GlobalUnlock(memory_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    // Null when the block could not be locked.
    const void* Get() const { return data_; }
    std::size_t Size() const { return GlobalSize(memory_); }

private:
    HGLOBAL memory_;
    void* data_;
};
