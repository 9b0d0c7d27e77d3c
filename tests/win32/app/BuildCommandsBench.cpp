// Compiles through the main window with the stand-in replaying 1000 real
// diagnostics, and runs the stand-in alone with the same command line, so the
// window's own share (reading, parsing, filling both lists) shows.
// Then a thousand compiles, clean and failing in turn, watching what the
// process holds. Not a test: run with `make bench`.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>

#include "BuildFixture.h"

namespace {

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

TEST_F(BuildTest, ThousandDiagnostics) {
    OpenSource("Hello.java", "public class Hello {}\r\n");
    const std::string source = dir + "Hello.java";
    standin::ScopedEnv replay("QP_JAVAC_CAPTURE", standin::Capture("many_errors"));
    standin::ScopedEnv from("QP_JAVAC_CAPTURE_SOURCE", "C:\\work\\Hello.java");
    logEnv.reset();
    std::string cmdLine = "\"";  // appended, not prefixed: GCC 12 warns falsely on "..." + string
    cmdLine += standin::SdkDir() + "javac.exe\" \"" + source + "\"";

    double alone = 1e9, window = 1e9;
    for (int round = 0; round < 5; ++round) {
        auto t0 = std::chrono::steady_clock::now();
        std::uint32_t code = 0;
        CreateDOSProcessRedirected(cmdLine, StdErrFileName, true, code);
        alone = std::min(alone, Ms(std::chrono::steady_clock::now() - t0));

        t0 = std::chrono::steady_clock::now();
        Command("CodeCompile");
        window = std::min(window, Ms(std::chrono::steady_clock::now() - t0));
    }
    const auto errors = Items(QPadF->ErrorLB());
    ASSERT_EQ(errors.size(), 1000u);
    EXPECT_EQ(errors.back(), "1002 0021  error: cannot find symbol");
    std::fprintf(stderr,
                 "1000 diagnostics (%zu output lines): stand-in alone %.0f ms, Compile through the window %.0f ms, "
                 "the window's share %.0f ms (best of 5)\n",
                 Items(QPadF->CompillerLB()).size(), alone, window, window - alone);
}

struct Held {
    DWORD handles = 0, gdi = 0, user = 0;
    SIZE_T workingSet = 0;
};

BOOL CALLBACK CountOne(HWND, LPARAM n) {
    ++*reinterpret_cast<DWORD*>(n);
    return TRUE;
}
BOOL CALLBACK CountWithChildren(HWND w, LPARAM n) {
    ++*reinterpret_cast<DWORD*>(n);
    EnumChildWindows(w, CountOne, n);
    return TRUE;
}

// Wine answers 0 to GetProcessHandleCount and GetGuiResources. There the
// handles are counted by asking after every handle value, and the thread's
// windows stand in for the USER objects; GDI objects can't be counted.
Held Now() {
    Held h;
    GetProcessHandleCount(GetCurrentProcess(), &h.handles);
    if (h.handles == 0) {
        DWORD flags = 0;
        for (ULONG_PTR v = 4; v < 0x40000; v += 4)
            if (GetHandleInformation(reinterpret_cast<HANDLE>(v), &flags)) ++h.handles;
    }
    h.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    h.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (h.user == 0) EnumThreadWindows(GetCurrentThreadId(), CountWithChildren, reinterpret_cast<LPARAM>(&h.user));
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) h.workingSet = pmc.WorkingSetSize;
    return h;
}

TEST_F(BuildTest, ThousandCompiles) {
    OpenSource("Hello.java", "public class Hello {}\r\n");
    Held at[3];
    int sample = 0;
    for (int n = 0; n <= 1000; ++n) {
        if (n == 0 || n == 100 || n == 1000) {
            at[sample] = Now();
            std::fprintf(stderr, "after %4d compiles: %lu handles, %lu GDI objects, %lu USER objects (or windows), "
                         "working set %.1f MB\n", n, at[sample].handles, at[sample].gdi, at[sample].user,
                         at[sample].workingSet / 1048576.0);
            ++sample;
        }
        if (n == 1000) break;
        const bool failing = n % 2 == 1;
        CompileWith(failing ? "missing_semicolon" : "");
        ASSERT_EQ(Items(QPadF->ErrorLB()).size(), 1u) << "compile " << n;
        ASSERT_EQ(Items(QPadF->ErrorLB())[0] == "No errors", !failing) << "compile " << n;
    }
    // Flat from the 100th compile on: nothing is kept per compile.
    EXPECT_LE(at[2].handles, at[1].handles + 10);
    EXPECT_LE(at[2].gdi, at[1].gdi + 10);
    EXPECT_LE(at[2].user, at[1].user + 10);
    EXPECT_LE(at[2].workingSet, at[1].workingSet + at[1].workingSet / 10);
}

}  // namespace
