#pragma once
// What the Windows benchmarks share: a high-resolution clock and a large Java
// source made of many small methods.
#include <windows.h>

#include <string>

namespace bench {

inline LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

inline double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// At least `size` bytes of one-line methods, CR LF line breaks.
inline std::string Methods(std::size_t size) {
    std::string text;
    text.reserve(size + 1000);
    for (int n = 0; text.size() < size; ++n)
        text += "    public static int method" + std::to_string(n) + "(int a, int b) { return a * b + " +
                std::to_string(n % 97) + "; }\r\n";
    return text;
}

}  // namespace bench
