// Times one compile's reading and parsing of a 100,000-line capture made of
// copies of a real compiler capture with several errors.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "CompilerU.h"
#include "FakeLauncher.h"
#include "TestFiles.h"

int main() {
    const std::string one = ReadTestFile(std::string(QP_CAPTURES_DIR) + "several_errors.err").value_or("");
    const std::size_t linesPerBlock = SplitCaptureLines(one).size();
    if (linesPerBlock == 0) {
        std::fprintf(stderr, "capture not found\n");
        return 1;
    }

    std::string text;
    std::size_t lines = 0;
    while (lines < 100000) {
        text += one;
        lines += linesPerBlock;
    }
    const auto dir = std::filesystem::temp_directory_path();
    const std::string StdErrFileName = (dir / "qp_bench_stderr.out").string();
    fakeLaunch.stderrText = text;
    fakeLaunch.exitCode = 1;

    TCompiller compiler(FakeLauncher(), StdErrFileName);
    compiler.FileName = "C:\\work\\Hello.java";
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        compiler.Compile("javac");
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (took < best) best = took;
    }
    std::printf("%zu lines (%zu bytes), %zu entries: best of 5 %.1f ms (write, read, split, parse)\n",
                compiler.Output.size(), text.size(), compiler.Errors.size(), best * 1000);
    std::filesystem::remove(StdErrFileName);
    return 0;
}
