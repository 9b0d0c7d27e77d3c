// Compiles through the main window with the stand-in replaying 1000 real
// diagnostics, and runs the stand-in alone with the same command line, so the
// window's own share (reading, parsing, filling both lists) shows.
// Not a test: run with `make bench`.
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
    const std::string cmdLine = "\"" + standin::SdkDir() + "javac.exe\" \"" + source + "\"";

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
    const auto errors = Items(QPadF->ErrorLB);
    ASSERT_EQ(errors.size(), 1000u);
    EXPECT_EQ(errors.back(), "1002 0021  error: cannot find symbol");
    std::fprintf(stderr,
                 "1000 diagnostics (%zu output lines): stand-in alone %.0f ms, Compile through the window %.0f ms, "
                 "the window's share %.0f ms (best of 5)\n",
                 Items(QPadF->CompillerLB).size(), alone, window, window - alone);
}

}  // namespace
