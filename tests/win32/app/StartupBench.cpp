// Start-up: from CreateProcess to the main window on screen, for the program,
// for the least program that shows the same main window's controls
// (startup_floor.exe), for the same with the program's whole window tree
// (startup_floor.exe whole), which is what the program is held to, and for the
// system's notepad, launched in turn in the same run, so that the cost of
// starting any process under this system is in every figure. Each run ends by
// closing the window and waiting for the process to end.
// Not a test: run with `make bench`. QP_STARTUP_RUNS sets the runs of each
// (default 41: single starts under Wine differ by a third or more);
// QP_STARTUP_PROGRAM another build of the program to measure instead of this
// tree's, QP_STARTUP_OTHER one to measure as well, in turn with the others.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "StartupBenchPaths.h"
#include "TestFiles.h"

namespace {

using bench::Now;
using bench::Seconds;

struct Sample {
    double wall = 0;  // seconds from CreateProcess to the visible window
    double cpu = 0;   // the process's user and kernel time by then (under Wine a rough figure)
};

struct FindState {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == state->pid && lstrcmpiA(cls, state->cls) == 0 && IsWindowVisible(hwnd)) {
        state->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

double CpuSeconds(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    auto ticks = [](const FILETIME& f) { return (ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime; };
    return double(ticks(kernel) + ticks(user)) / 1e7;
}

// Starts cmdLine, waits for a visible top-level window of class cls of that
// process, then closes it. False when no such window came within 30 seconds.
bool Launch(const std::string& cmdLine, const char* cls, Sample& sample) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = cmdLine;
    const LARGE_INTEGER t0 = Now();
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "cannot start %s (error %lu)\n", cmdLine.c_str(), GetLastError());
        return false;
    }
    FindState state{pi.dwProcessId, cls, nullptr};
    while (!state.found && Seconds(t0, Now()) < 30) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&state));
        if (!state.found) Sleep(1);
    }
    sample.wall = Seconds(t0, Now());
    sample.cpu = CpuSeconds(pi.hProcess);
    if (state.found) PostMessageA(state.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) {
        fprintf(stderr, "%s did not end after WM_CLOSE\n", cmdLine.c_str());
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return state.found != nullptr;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void WriteText(const std::string& path, const std::string& text) { WriteFileText(path, text); }

}  // namespace

int main() {
    // The shipped program, copied into a folder of its own beside a qp.ini whose
    // SDK folder holds the three tools, so that no SDK message stops the start
    // and the build tree's own qp.ini is never touched.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "qp-startup-bench\\";
    const std::string sdk = dir + "sdk\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA(sdk.c_str(), nullptr);
    for (const char* tool : {"javac.exe", "java.exe", "appletviewer.exe"}) WriteText(sdk + tool, "");
    WriteText(dir + "qp.ini", "[JavaSDK]\r\nDirectory=" + sdk + "\r\n");
    const std::string program = dir + "quillpad.exe", other = dir + "other\\quillpad.exe";
    const char* source = getenv("QP_STARTUP_PROGRAM") ? getenv("QP_STARTUP_PROGRAM") : QP_SHIPPED_PROGRAM;
    const char* otherSource = getenv("QP_STARTUP_OTHER");
    if (otherSource) {
        CreateDirectoryA((dir + "other").c_str(), nullptr);
        WriteText(dir + "other\\qp.ini", "[JavaSDK]\r\nDirectory=" + sdk + "\r\n");
    }
    for (auto [from, to] : {std::pair<const char*, std::string>{source, program}, {otherSource, other}}) {
        if (from && !CopyFileA(from, to.c_str(), FALSE)) {
            fprintf(stderr, "cannot copy %s (error %lu)\n", from, GetLastError());
            return 1;
        }
    }

    const char* runsText = getenv("QP_STARTUP_RUNS");
    const int runs = runsText && atoi(runsText) > 0 ? atoi(runsText) : 41;
    struct Subject {
        const char* name;
        std::string cmdLine;
        const char* windowClass;
        std::vector<double> wall, cpu;
    };
    std::vector<Subject> subjects = {{"quillpad", "\"" + program + "\"", "TQPadF", {}, {}},
                                     {"floor", "\"" QP_STARTUP_FLOOR "\"", "TQPadF", {}, {}},
                                     {"notepad", "notepad.exe", "Notepad", {}, {}},
                                     {"floor+", "\"" QP_STARTUP_FLOOR "\" whole", "TQPadF", {}, {}}};
    if (otherSource) subjects.push_back({"other", "\"" + other + "\"", "TQPadF", {}, {}});
    const std::size_t n = subjects.size();
    // One start of each first, not counted: the files come into the cache.
    for (Subject& s : subjects) {
        Sample warm;
        if (!Launch(s.cmdLine, s.windowClass, warm)) return 1;
    }
    // In turn, each round in an order of its own (the same orders in every run
    // of the benchmark), so that no side always starts right after the same
    // other one's exit: a rotation would keep every side's neighbours.
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k) order[k] = k;
    std::mt19937 shuffler(20261209);
    for (int r = 0; r < runs; ++r) {
        std::shuffle(order.begin(), order.end(), shuffler);
        for (std::size_t k : order) {
            Subject& s = subjects[k];
            Sample sample;
            if (!Launch(s.cmdLine, s.windowClass, sample)) return 1;
            s.wall.push_back(sample.wall);
            s.cpu.push_back(sample.cpu);
        }
    }
    printf("Start-up to the visible main window, %d runs each, in turn, medians:\n", runs);
    for (const Subject& s : subjects)
        printf("  %-9s %7.1f ms wall  %7.1f ms CPU as Wine reports it   (fastest %.1f ms, slowest %.1f ms)\n", s.name,
               Median(s.wall) * 1000, Median(s.cpu) * 1000, *std::min_element(s.wall.begin(), s.wall.end()) * 1000,
               *std::max_element(s.wall.begin(), s.wall.end()) * 1000);
    const double nw = Median(subjects[2].wall), nc = Median(subjects[2].cpu);
    // Against a floor: the ratio of the medians, and the median of the rounds'
    // ratios (a slow moment of the machine slows both sides of a round, and
    // the rounds' ratios leave it out).
    auto ratios = [&](const Subject& floor) {
        std::vector<double> rounds;
        for (int r = 0; r < runs; ++r) rounds.push_back(subjects[0].wall[r] / floor.wall[r]);
        return std::pair{Median(subjects[0].wall) / Median(floor.wall), Median(rounds)};
    };
    // The window's layout makes the tree (the panels, splitters and headers,
    // and the application window that carries the task-bar entry), so the
    // floor that makes it too is the one the program is held to.
    const auto [whole, wholeRounds] = ratios(subjects[3]);
    printf("  start-up ratio against the floor with the program's whole window tree (floor+): %.3f wall, round by "
           "round %.3f (target: at most 1.1)\n",
           whole, wholeRounds);
    const auto [controls, controlsRounds] = ratios(subjects[1]);
    printf("  start-up ratio against the floor of the main window's controls alone (floor): %.3f wall, round by round "
           "%.3f; fastest against fastest %.3f\n",
           controls, controlsRounds,
           *std::min_element(subjects[0].wall.begin(), subjects[0].wall.end()) /
               *std::min_element(subjects[1].wall.begin(), subjects[1].wall.end()));
    printf("  start-up ratio against notepad: %.3f wall, %.3f CPU\n", Median(subjects[0].wall) / nw,
           Median(subjects[0].cpu) / nc);
    if (otherSource)
        printf("  the other build against floor+: %.3f wall; against notepad: %.3f wall, %.3f CPU\n",
               Median(subjects[4].wall) / Median(subjects[3].wall), Median(subjects[4].wall) / nw, Median(subjects[4].cpu) / nc);
    fflush(stdout);

    for (const std::string& file : {program, dir + "qp.ini", other, dir + "other\\qp.ini"}) DeleteFileA(file.c_str());
    RemoveDirectoryA((dir + "other").c_str());
    for (const char* tool : {"javac.exe", "java.exe", "appletviewer.exe"}) DeleteFileA((sdk + tool).c_str());
    RemoveDirectoryA(sdk.c_str());
    RemoveDirectoryA(dir.c_str());
    return 0;
}
