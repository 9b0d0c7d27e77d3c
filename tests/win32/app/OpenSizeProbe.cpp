// Measures whether a source of a given size opens, takes a key and saves in the
// real window: `open_size_probe <bytes> [times]` (times over, each Open
// replacing the text the last one loaded). Exit code 0 when all three worked and
// the file on disk holds the edited text. Not a test: the size limit was found
// by running it for growing sizes, each in a process of its own.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchSupport.h"
#include "QPadU.h"
#include "RichEditQX.h"
#include "ScriptedPrompts.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::size_t size = std::strtoull(argv[1], nullptr, 10);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qp-size-probe.java";
    std::string bytes = bench::Methods(size);
    bytes.resize(size);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);

    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope(prompts);
    prompts.messageAnswers = {IDOK, IDOK, IDOK};
    InitApplication();
    QPadF = new TQPadF();
    QPadF->Show(SW_SHOWNORMAL);
    ProcessMessages();
    auto command = [](const char* action) {
        SendMessageA(QPadF->Handle(), WM_COMMAND, QPadF->FindAction(action)->id, 0);
        ProcessMessages();
    };
    auto report = [&](const char* what) {
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
        std::printf("%zu bytes: %s (working set %lu MB, peak %lu MB)%s%s\n", size, what,
                    static_cast<unsigned long>(pmc.WorkingSetSize >> 20),
                    static_cast<unsigned long>(pmc.PeakWorkingSetSize >> 20), prompts.messages.empty() ? "" : ": ",
                    prompts.messages.empty() ? "" : prompts.messages.back().text.c_str());
        std::fflush(stdout);
    };

    const int times = argc > 2 ? std::atoi(argv[2]) : 1;
    for (int n = 1; n < times; ++n) {
        prompts.fileAnswers.push_back(path);
        command("FileOpen1");
        if (!prompts.messages.empty()) break;
    }
    const LARGE_INTEGER t0 = bench::Now();
    prompts.fileAnswers.push_back(path);
    command("FileOpen1");
    const bool opened = QPadF->FileName() == path && prompts.messages.empty();
    report(opened ? "opened" : "not opened");
    if (!opened) return 1;
    HWND editor = QPadF->SourceEdit()->Handle();
    SendMessageA(editor, WM_KEYDOWN, 'X', 1);
    SendMessageA(editor, WM_CHAR, 'x', 1);
    SendMessageA(editor, WM_KEYUP, 'X', 0xC0000001);
    ProcessMessages();
    command("FileSave1");
    const bool saved = prompts.messages.empty() && !QPadF->SourceEdit()->Modified();
    report(saved ? "edited and saved" : "not saved");
    if (!saved) return 1;

    h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string back(GetFileSize(h, nullptr), '\0');
    ReadFile(h, back.data(), static_cast<DWORD>(back.size()), &put, nullptr);
    CloseHandle(h);
    DeleteFileA(path.c_str());
    const bool intact = back == "x" + bytes;
    std::printf("%zu bytes: %s in %.1f s\n", size, intact ? "file holds the edit" : "FILE DIFFERS",
                bench::Seconds(t0, bench::Now()));
    return intact ? 0 : 1;
}
