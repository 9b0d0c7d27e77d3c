// Times the file commands against a bare rich-edit control doing the same
// work in the same run, so the program's own share of the cost shows as a
// ratio. First the ways of filling one control with one text are timed, and
// the fastest sound one is the yardstick of Open into the empty editor; then
// Open and New over a text already loaded (against a fresh control's load of
// the second text, and against that plus dropping a bare control that holds
// the first); a big Open and Save.
// Not a test: run with `make bench`.
#include <windows.h>
#include <richedit.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "OptionsU.h"
#include "QPadU.h"
#include "RichEditQX.h"
#include "SourceFiles.h"
#include "BenchSupport.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

namespace {

void Step(const char* what) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    fprintf(stderr, "%-28s working set %6lu MB\n", what, static_cast<unsigned long>(pmc.WorkingSetSize >> 20));
}

using bench::Now;
using bench::Seconds;

void WriteBytes(const std::string& path, const std::string& bytes) { WriteFileText(path, bytes); }

struct StreamState {
    const std::string* in;
    std::size_t pos;
    std::string* out;
    LONG chunk = 0x7FFFFFFF;  // the most handed over at a time
};
// As the editor does it: a chunk never ends between the CR and the LF of one
// line break, which the control would take for two line breaks.
DWORD CALLBACK ReadCb(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* s = reinterpret_cast<StreamState*>(cookie);
    std::size_t n = s->in->size() - s->pos;
    if (n > static_cast<std::size_t>(std::min(size, s->chunk))) n = std::min(size, s->chunk);
    if (n > 1 && s->pos + n < s->in->size() && (*s->in)[s->pos + n - 1] == '\r' && (*s->in)[s->pos + n] == '\n')
        --n;
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

// Bare controls with the editor's styles, text mode, size and font, on a
// top-level window of their own. It is shown only while a bare control works,
// so each side works in a window in full view, as the program's does.
struct Bare {
    HWND top = nullptr;
    LONG style = 0, exStyle = 0;
    LRESULT textMode = 0;
    RECT area{};
    HFONT font = nullptr;

    void Show(bool on) const {
        ShowWindow(top, on ? SW_SHOWNORMAL : SW_HIDE);
        ProcessMessages();
    }
    HWND Create() const {
        HWND wnd = CreateWindowExA(exStyle, "RICHEDIT", "", style, 0, 0, area.right, area.bottom, top, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        SendMessageA(wnd, EM_SETTEXTMODE, textMode, 0);
        SendMessageA(wnd, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        if (font) SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        return wnd;
    }
    static bool Load(HWND wnd, const std::string& bytes) {
        std::string out;
        StreamState state{&bytes, 0, &out};
        EDITSTREAM in = {reinterpret_cast<DWORD_PTR>(&state), 0, ReadCb};
        SendMessageA(wnd, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&in));
        return state.pos == bytes.size();
    }
    // A fresh control's load: create it, stream the text in.
    double FreshLoad(const std::string& bytes, HWND* made) const {
        LARGE_INTEGER t0 = Now();
        HWND wnd = Create();
        Load(wnd, bytes);
        LARGE_INTEGER t1 = Now();
        *made = wnd;
        return Seconds(t0, t1);
    }
    static double Drop(HWND wnd) {
        LARGE_INTEGER t0 = Now();
        DestroyWindow(wnd);
        return Seconds(t0, Now());
    }
};

// The ways of filling a new control with a text that were tried. Each one's
// time is the filling alone, on a control made as the editor makes its own.
enum class Fill { Shown, Hidden, RedrawOff, Chunks1K, EventsOn, NoUndo, ZeroSize, Selection, SetText, ReplaceSel };
const struct {
    Fill fill;
    const char* name;
} kFills[] = {
    {Fill::Shown, "EM_STREAMIN, control shown"},
    {Fill::Hidden, "EM_STREAMIN, control hidden"},
    {Fill::RedrawOff, "EM_STREAMIN, shown, WM_SETREDRAW off"},
    {Fill::Chunks1K, "EM_STREAMIN, hidden, 1 KB chunks"},
    {Fill::EventsOn, "EM_STREAMIN, hidden, editor's events on"},
    {Fill::NoUndo, "EM_STREAMIN, hidden, EM_SETUNDOLIMIT 0"},
    {Fill::ZeroSize, "EM_STREAMIN, hidden, zero size"},
    {Fill::Selection, "EM_STREAMIN SFF_SELECTION, hidden"},
    {Fill::SetText, "WM_SETTEXT, hidden"},
    {Fill::ReplaceSel, "EM_REPLACESEL, hidden"},
};

// Fills a new control of bare's kind by way of fill; the seconds it took, and
// whether the control then holds the text with its lines (false: unsound).
double FillControl(const Bare& bare, Fill fill, const std::string& text, bool& sound) {
    Bare b = bare;
    if (fill != Fill::Shown && fill != Fill::RedrawOff) b.style &= ~WS_VISIBLE;
    if (fill == Fill::ZeroSize) b.area = RECT{};
    HWND wnd = b.Create();
    if (fill == Fill::EventsOn) SendMessageA(wnd, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    if (fill == Fill::NoUndo) SendMessageA(wnd, EM_SETUNDOLIMIT, 0, 0);
    std::string unused;
    StreamState state{&text, 0, &unused};
    if (fill == Fill::Chunks1K) state.chunk = 1024;
    EDITSTREAM in = {reinterpret_cast<DWORD_PTR>(&state), 0, ReadCb};
    const LARGE_INTEGER t0 = Now();
    if (fill == Fill::RedrawOff) SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    if (fill == Fill::SetText)
        SendMessageA(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    else if (fill == Fill::ReplaceSel)
        SendMessageA(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    else
        SendMessageA(wnd, EM_STREAMIN, SF_TEXT | (fill == Fill::Selection ? SFF_SELECTION : 0),
                     reinterpret_cast<LPARAM>(&in));
    if (fill == Fill::RedrawOff) {
        SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    const double seconds = Seconds(t0, Now());
    const LRESULT lines = std::count(text.begin(), text.end(), '\n') + 1;
    sound = SendMessageA(wnd, WM_GETTEXTLENGTH, 0, 0) == static_cast<LRESULT>(text.size()) &&
            SendMessageA(wnd, EM_GETLINECOUNT, 0, 0) == lines;
    DestroyWindow(wnd);
    return seconds;
}

// A command as its menu item sends it.
void Command(const char* action) {
    SendMessageA(QPadF->Handle(), WM_COMMAND, QPadF->FindAction(action)->id, 0);
}

double Timed(const char* action) {
    LARGE_INTEGER t0 = Now();
    Command(action);
    return Seconds(t0, Now());
}

void Ratio(const char* what, double program, const char* baseWhat, double base) {
    printf("%-34s %8.3f s   %-40s %8.3f s   ratio %6.3f\n", what, program, baseWhat, base, program / base);
    fflush(stdout);
}

}  // namespace

int main() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = temp;
    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope(prompts);
    InitApplication();
    QPadF = new TQPadF();
    QPadF->Show(SW_SHOWNORMAL);
    ProcessMessages();
    auto openFile = [&](const std::string& path) {
        prompts.fileAnswers.push_back(path);
        return Timed("FileOpen1");
    };
    bool intact = true;

    Bare bc;
    GetClientRect(QPadF->RichEditP(), &bc.area);
    {
        HWND editor = QPadF->SourceEdit()->Handle();
        bc.style = GetWindowLongA(editor, GWL_STYLE);
        bc.exStyle = GetWindowLongA(editor, GWL_EXSTYLE);
        bc.textMode = SendMessageA(editor, EM_GETTEXTMODE, 0, 0);
        bc.font = reinterpret_cast<HFONT>(SendMessageA(editor, WM_GETFONT, 0, 0));
    }
    bc.top = CreateWindowExA(0, "STATIC", "bare", WS_OVERLAPPEDWINDOW, 0, 0, bc.area.right + 20,
                               bc.area.bottom + 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);

    // Texts: 1 MB twice (different bytes), 4 MB, 240 KB.
    const std::string oneA = bench::Methods(1024 * 1024), oneB = bench::Methods(1024 * 1024 + 4096);
    const std::string four = bench::Methods(4 * 1024 * 1024 - 4096), small = bench::Methods(240 * 1024);
    const std::string pOneA = dir + "qp-bench-OneA.java", pOneB = dir + "qp-bench-OneB.java";
    const std::string pFour = dir + "qp-bench-Four.java", pSmall = dir + "qp-bench-Small.java";
    WriteBytes(pOneA, oneA);
    WriteBytes(pOneB, oneB);
    WriteBytes(pFour, four);
    WriteBytes(pSmall, small);
    HWND made = nullptr;
    // The machine may be busy with other work: each figure is the least of a
    // few runs (QP_BENCH_REPS, default 3), the program's and the bare
    // control's taken in turn.
    const char* repsText = getenv("QP_BENCH_REPS");
    const int reps = repsText && atoi(repsText) > 0 ? atoi(repsText) : 3;
    auto least = [](double& best, double value) {
        if (best == 0 || value < best) best = value;
    };

    // The ways of filling a control, 1 MB and 4 MB, each the least of reps
    // runs. WM_SETTEXT and EM_REPLACESEL take one run at 1 MB and none at 4 MB:
    // under Wine their cost grows far faster than the text (minutes for 4 MB).
    // The fastest sound way is the yardstick of Open into the empty editor.
    double floor1 = 0, floor4 = 0;
    printf("Filling a new control (best of %d)            1 MB        4 MB\n", reps);
    {
        double best1[std::size(kFills)] = {}, best4[std::size(kFills)] = {};
        bool sound[std::size(kFills)];
        bc.Show(true);
        for (std::size_t m = 0; m < std::size(kFills); ++m) {
            sound[m] = true;
            const bool slow = kFills[m].fill == Fill::SetText || kFills[m].fill == Fill::ReplaceSel;
            for (int r = 0; r < (slow ? 1 : reps); ++r) {
                bool ok = true;
                least(best1[m], FillControl(bc, kFills[m].fill, oneA, ok));
                sound[m] &= ok;
            }
            fprintf(stderr, "  (%s, 1 MB: %.3f s)\n", kFills[m].name, best1[m]);
            if (sound[m] && (floor1 == 0 || best1[m] < floor1)) floor1 = best1[m];
        }
        for (std::size_t m = 0; m < std::size(kFills); ++m) {
            const bool slow = kFills[m].fill == Fill::SetText || kFills[m].fill == Fill::ReplaceSel;
            if (slow) continue;
            for (int r = 0; r < reps; ++r) {
                bool ok = true;
                least(best4[m], FillControl(bc, kFills[m].fill, four, ok));
                sound[m] &= ok;
            }
            fprintf(stderr, "  (%s, 4 MB: %.3f s)\n", kFills[m].name, best4[m]);
            if (sound[m] && (floor4 == 0 || best4[m] < floor4)) floor4 = best4[m];
        }
        bc.Show(false);
        for (std::size_t m = 0; m < std::size(kFills); ++m) {
            char big[32] = "   (not tried)";
            if (best4[m] > 0) snprintf(big, sizeof big, "%8.3f s", best4[m]);
            printf("  %-42s %8.3f s  %s%s\n", kFills[m].name, best1[m], big, sound[m] ? "" : "   NOT SOUND");
        }
        fflush(stdout);
    }

    // Open into the empty editor, against the fastest way of filling a control.
    double program = 0, programFour = 0;
    for (int r = 0; r < reps; ++r) {
        Command("FileNew1");
        least(program, openFile(pOneA));
        intact &= QPadF->SourceEdit()->Text() == oneA;
        Command("FileNew1");
        least(programFour, openFile(pFour));
        intact &= QPadF->SourceEdit()->Text() == four;
    }
    Command("FileNew1");
    Ratio("Open 1 MB (empty editor)", program, "fastest fill of a control", floor1);
    Ratio("Open 4 MB (empty editor)", programFour, "fastest fill of a control", floor4);
    double base = 0;

    // Open of 1 MB over 1 MB.
    double drop = 0, withDrop = 0;
    program = base = 0;
    for (int r = 0; r < reps; ++r) {
        openFile(pOneA);
        least(program, openFile(pOneB));
        intact &= QPadF->SourceEdit()->Text() == oneB;
        bc.Show(true);
        HWND bareOne = bc.Create();
        Bare::Load(bareOne, oneA);
        const double fresh = bc.FreshLoad(oneB, &made);
        const double dropped = Bare::Drop(bareOne);
        Bare::Drop(made);
        bc.Show(false);
        least(base, fresh);
        least(drop, dropped);
        least(withDrop, fresh + dropped);
    }
    Ratio("Open 1 MB after 1 MB", program, "fresh bare control + EM_STREAMIN", base);
    Ratio("", program, "same + dropping a bare 1 MB control", withDrop);
    printf("%-34s %8s     %-40s %8.3f s\n", "", "", "(dropping a bare 1 MB control)", drop);

    // Open of 240 KB over 4 MB, and New over 4 MB.
    double newProgram = 0, newBase = 0, newWithDrop = 0;
    program = base = drop = withDrop = 0;
    for (int r = 0; r < reps; ++r) {
        const double big = openFile(pFour);
        printf("(Open 4 MB: %.3f s)\n", big);
        least(program, openFile(pSmall));
        intact &= QPadF->SourceEdit()->Text() == small;
        openFile(pFour);
        least(newProgram, Timed("FileNew1"));
        intact &= QPadF->SourceEdit()->Text().empty();
        bc.Show(true);
        HWND bareFour = bc.Create();
        Bare::Load(bareFour, four);
        const double fresh = bc.FreshLoad(small, &made);
        Bare::Drop(made);
        const double freshEmpty = bc.FreshLoad("", &made);
        Bare::Drop(made);
        const double dropped = Bare::Drop(bareFour);
        bc.Show(false);
        least(base, fresh);
        least(newBase, freshEmpty);
        least(drop, dropped);
        least(withDrop, fresh + dropped);
        least(newWithDrop, freshEmpty + dropped);
    }
    Ratio("Open 240 KB after 4 MB", program, "fresh bare control + EM_STREAMIN", base);
    Ratio("", program, "same + dropping a bare 4 MB control", withDrop);
    Ratio("New after 4 MB", newProgram, "fresh bare control + EM_STREAMIN", newBase);
    Ratio("", newProgram, "same + dropping a bare 4 MB control", newWithDrop);
    printf("%-34s %8s     %-40s %8.3f s\n", "", "", "(dropping a bare 4 MB control)", drop);
    for (const std::string* p : {&pOneA, &pOneB, &pFour, &pSmall}) DeleteFileA(p->c_str());
    DestroyWindow(bc.top);
    ProcessMessages();

    // The big Open and Save: just under the largest source Open takes
    // (kMaxSourceSize), or QP_BENCH_MB megabytes.
    const char* mb = getenv("QP_BENCH_MB");
    const std::size_t size = mb ? static_cast<std::size_t>(atoi(mb)) * 1024 * 1024 : kMaxSourceSize - 4096;
    const std::string path = dir + "qp-bench-Big.java";
    const std::string bytes = bench::Methods(size);
    WriteBytes(path, bytes);
    // Empty first: the Open below is then a load into an empty editor.
    Command("FileNew1");
    ProcessMessages();

    prompts.fileAnswers.push_back(path);
    LARGE_INTEGER t0 = Now();
    Command("FileOpen1");
    LARGE_INTEGER t1 = Now();
    Step("opened");
    QPadF->SourceEdit()->SetModified(true);
    Command("FileSave1");
    LARGE_INTEGER t2 = Now();
    Step("saved");
    intact &= QPadF->SourceEdit()->Text() == bytes;

    // Then the bare control, with the editor's styles, text mode and size, once the program's
    // window is gone (a window is dropped far faster than its text is deleted,
    // and a 32-bit process has room for one big text at a time).
    RECT area;
    GetClientRect(QPadF->RichEditP(), &area);
    HWND editor = QPadF->SourceEdit()->Handle();
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
    return intact && bareIntact ? 0 : 1;
}
