#pragma once
// Functions of the DLLs that only some commands need (the common dialogs, the
// shell): found at their first use rather than imported, so that a start does
// not pay for loading them and all they bring with them. Each DLL, once loaded,
// stays for the program's life.
#include <windows.h>

#include "QpErrors.h"

template <class Fn>
Fn LateBound(const char* dll, const char* name) {
    HMODULE module = LoadLibraryA(dll);
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    if (!proc) throw Exception(std::string("Cannot find ") + name + " in " + dll);
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// The function, found once: LATE_BOUND(GetOpenFileNameA, "comdlg32.dll")(&ofn).
#define LATE_BOUND(fn, dll) ([] {                                  \
    static const auto bound = LateBound<decltype(&fn)>(dll, #fn); \
    return bound;                                                 \
}())
