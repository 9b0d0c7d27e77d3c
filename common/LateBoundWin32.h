#pragma once
// Functions of the DLLs that only some commands need (the common dialogs, the
// shell): found when first called rather than imported, so that a start does
// not load them and all they bring with them before the main window shows.
// PreloadLateBoundDlls loads them once the window is up, before the first
// command, so a command finds them loaded as if they had been imported. Each
// DLL, once loaded, stays for the program's life.
#include <windows.h>

#include "QpErrors.h"

constexpr const char* kDialogsDll = "comdlg32.dll";
constexpr const char* kShellDll = "shell32.dll";

template <class Fn>
Fn LateBound(const char* dll, const char* name) {
    HMODULE module = LoadLibraryA(dll);
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    if (!proc) throw Exception(std::string("Cannot find ") + name + " in " + dll);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// The function, found once: LATE_BOUND(GetOpenFileNameA, kDialogsDll)(&ofn).
#define LATE_BOUND(fn, dll) ([] {                                  \
    static const auto bound = LateBound<decltype(&fn)>(dll, #fn); \
    return bound;                                                 \
}())

inline void PreloadLateBoundDlls() {
    for (const char* dll : {kDialogsDll, kShellDll}) LoadLibraryA(dll);
}
