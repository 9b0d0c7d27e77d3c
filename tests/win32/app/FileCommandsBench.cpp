// Opens and saves a 10 MB source through the program's own commands and, in
// the same run, streams the same bytes into and out of a bare rich-edit
// control, so the program's own share of the cost shows as a ratio.
// Not a test: run with `make bench`.
#include <windows.h>
#include <richedit.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "OptionsU.h"
#include "QPadU.h"
#include "RichEditQX.h"
#include "ScriptedPrompts.h"

namespace {

void Step(const char* what) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    fprintf(stderr, "%-28s working set %6lu MB\n", what, static_cast<unsigned long>(pmc.WorkingSetSize >> 20));
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}
LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

std::string MakeSource(std::size_t size) {
    std::string text;
    text.reserve(size + 100);
    for (int n = 0; text.size() < size; ++n)
        text += "    public static int method" + std::to_string(n) + "(int a, int b) { return a * b + " +
                std::to_string(n % 97) + "; }\r\n";
    return text;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
}

struct StreamState {
    const std::string* in;
    std::size_t pos;
    std::string* out;
};
DWORD CALLBACK ReadCb(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* s = reinterpret_cast<StreamState*>(cookie);
    std::size_t n = s->in->size() - s->pos;
    if (n > static_cast<std::size_t>(size)) n = size;
    memcpy(buf, s->in->data() + s->pos, n);
    s->pos += n;
    *done = static_cast<LONG>(n);
    return 0;
}
DWORD CALLBACK WriteCb(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    reinterpret_cast<StreamState*>(cookie)->out->append(reinterpret_cast<char*>(buf), size);
    *done = size;
    return 0;
}

}  // namespace

int main() {
    // QP_BENCH_MB: the size in MB. The default is 6, not 10: Wine's rich-edit
    // control needs about 180 bytes of memory per character of plain text, so a
    // 10 MB text does not fit the address space of a 32-bit process under Wine.
    const char* mb = getenv("QP_BENCH_MB");
    const std::size_t size = static_cast<std::size_t>(mb ? atoi(mb) : 6) * 1024 * 1024;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qp-bench-Big.java";
    const std::string bytes = MakeSource(size);
    WriteBytes(path, bytes);

    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope(prompts);
    InitApplication();
    QPadF = new TQPadF();
    QPadF->Show(SW_SHOWNORMAL);
    ProcessMessages();

    prompts.fileAnswers.push_back(path);
    LARGE_INTEGER t0 = Now();
    SendMessageA(QPadF->Handle(), WM_COMMAND, static_cast<WPARAM>(ActionId::FileOpen1), 0);
    LARGE_INTEGER t1 = Now();
    Step("opened");
    QPadF->SourceEdit->SetModified(true);
    SendMessageA(QPadF->Handle(), WM_COMMAND, static_cast<WPARAM>(ActionId::FileSave1), 0);
    LARGE_INTEGER t2 = Now();
    Step("saved");
    bool intact = QPadF->SourceEdit->Text() == bytes;

    // Then the bare control, with the editor's styles, text mode and size, once the program's
    // window is gone (a window is dropped far faster than its text is deleted,
    // and a 32-bit process has room for one big text at a time).
    RECT area;
    GetClientRect(QPadF->RichEditP, &area);
    HWND editor = QPadF->SourceEdit->Handle();
    const LONG style = GetWindowLongA(editor, GWL_STYLE), exStyle = GetWindowLongA(editor, GWL_EXSTYLE);
    const LRESULT textMode = SendMessageA(editor, EM_GETTEXTMODE, 0, 0);
    delete QPadF;
    QPadF = nullptr;
    Step("program window gone");
    HWND top = CreateWindowExA(0, "STATIC", "bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, area.right + 20,
                               area.bottom + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND bare = CreateWindowExA(exStyle, "RICHEDIT", "", style, 0, 0, area.right, area.bottom, top, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(bare, EM_SETTEXTMODE, textMode, 0);
    SendMessageA(bare, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    std::string out;
    out.reserve(bytes.size());
    StreamState state{&bytes, 0, &out};
    EDITSTREAM in = {reinterpret_cast<DWORD_PTR>(&state), 0, ReadCb};
    LARGE_INTEGER b0 = Now();
    SendMessageA(bare, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&in));
    LARGE_INTEGER b1 = Now();
    Step("bare control loaded");
    EDITSTREAM ex = {reinterpret_cast<DWORD_PTR>(&state), 0, WriteCb};
    SendMessageA(bare, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&ex));
    WriteBytes(path + ".bare", out);
    LARGE_INTEGER b2 = Now();
    Step("bare control saved");
    bool bareIntact = out == bytes;
    DestroyWindow(top);

    double open = Seconds(t0, t1), save = Seconds(t1, t2);
    double streamIn = Seconds(b0, b1), streamOutWrite = Seconds(b1, b2);
    printf("source: %zu bytes, text intact after open and save: %s (bare control: %s)\n", bytes.size(),
           intact ? "yes" : "NO", bareIntact ? "yes" : "NO");
    printf("open  (FileOpen1):             %.3f s   bare EM_STREAMIN:            %.3f s   ratio %.3f\n", open,
           streamIn, open / streamIn);
    printf("save  (FileSave1):             %.3f s   bare EM_STREAMOUT + write:   %.3f s   ratio %.3f\n", save,
           streamOutWrite, save / streamOutWrite);

    DeleteFileA(path.c_str());
    DeleteFileA((path + ".bare").c_str());
    return intact ? 0 : 1;
}
