#pragma once
// Small owners for Windows handles and GDI objects: each frees its resource on
// every way out of the scope that made it.
#include <windows.h>
#include <ole2.h>

#include <cstddef>
#include <utility>

// A kernel handle; both INVALID_HANDLE_VALUE and null mean "none".
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h) {
        Close();
        h_ = h;
    }
    // False when closing failed (a write the system had deferred may fail here).
    bool Close() {
        const bool ok = !Valid() || CloseHandle(h_);
        h_ = nullptr;
        return ok;
    }

private:
    HANDLE h_ = nullptr;
};

// A resource freed by one call, such as DestroyIcon or DeleteObject.
template <class T, auto Free>
class ScopedResource {
public:
    ScopedResource() = default;
    explicit ScopedResource(T resource) : resource_(resource) {}
    ~ScopedResource() { Reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    T Get() const { return resource_; }
    void Reset(T resource = nullptr) {
        if (resource_) Free(resource_);
        resource_ = resource;
    }
    // Hands the resource over to a new owner.
    T Release() { return std::exchange(resource_, nullptr); }

private:
    T resource_ = nullptr;
};

// A handle whose "none" is INVALID_HANDLE_VALUE, freed by one call: a file
// search from FindFirstFile, a change notification.
template <auto Free>
class ScopedSearchHandle {
public:
    ScopedSearchHandle() = default;
    explicit ScopedSearchHandle(HANDLE h) : h_(h) {}
    ~ScopedSearchHandle() { Reset(); }
    ScopedSearchHandle(const ScopedSearchHandle&) = delete;
    ScopedSearchHandle& operator=(const ScopedSearchHandle&) = delete;

    HANDLE Get() const { return h_; }
    bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    void Reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (Valid()) Free(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};
using ScopedFind = ScopedSearchHandle<&FindClose>;
using ScopedChangeNotification = ScopedSearchHandle<&FindCloseChangeNotification>;

// Any GDI object made by a Create... call (pen, brush, font, bitmap, region).
template <class T>
using ScopedGdiObject = ScopedResource<T, &DeleteObject>;
using ScopedFont = ScopedGdiObject<HFONT>;
using ScopedBitmap = ScopedGdiObject<HBITMAP>;
using ScopedBrush = ScopedGdiObject<HBRUSH>;
using ScopedIcon = ScopedResource<HICON, &DestroyIcon>;
using ScopedAccelerators = ScopedResource<HACCEL, &DestroyAcceleratorTable>;
using ScopedRegKey = ScopedResource<HKEY, &RegCloseKey>;

// A window's (or the screen's) device context from GetDC.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ScopedGetDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// A memory device context from CreateCompatibleDC.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~ScopedMemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelect() { Restore(); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    void Restore() {
        if (old_) SelectObject(dc_, old_);
        old_ = nullptr;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's painting, from BeginPaint to EndPaint.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_;
    HDC dc_;
};

// The clipboard held open, and a memory block held locked, each for as long as
// its object lives.
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

// The process's error mode, put back on every way out.
class ScopedErrorMode {
public:
    explicit ScopedErrorMode(UINT mode) : old_(SetErrorMode(mode)) {}
    ~ScopedErrorMode() { SetErrorMode(old_); }
    ScopedErrorMode(const ScopedErrorMode&) = delete;
    ScopedErrorMode& operator=(const ScopedErrorMode&) = delete;

private:
    UINT old_;
};

// OLE for this thread, for as long as the object lives.
class ScopedOle {
public:
    ScopedOle() : ready_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~ScopedOle() {
        if (ready_) OleUninitialize();
    }
    ScopedOle(const ScopedOle&) = delete;
    ScopedOle& operator=(const ScopedOle&) = delete;
    bool Ready() const { return ready_; }

private:
    bool ready_;
};

// Registers a window class of this program once; later calls find it and do
// nothing. A null background leaves the painting to the window.
inline void RegisterWindowClassOnce(HINSTANCE instance, const char* name, WNDPROC proc,
                                    HBRUSH background = nullptr, HICON icon = nullptr,
                                    HICON smallIcon = nullptr) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(instance, name, &wc)) return;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.lpszClassName = name;
    RegisterClassExA(&wc);
}
