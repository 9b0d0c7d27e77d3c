// Java colouring against the plain control doing the same work in the same run:
// Open, a typed character at the top and at the end of the text, a page down
// (with the idle time a reader leaves between pages, and held down), and the
// memory, on a 1 MB and a 50 KB source. The plain control is a bare rich-edit
// window in plain-text mode with the editor's styles and font, as the editor
// was before it had colours. Not a test: run with `make bench`.
#include <windows.h>
#include <richedit.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <utility>

#include "BenchSupport.h"
#include "RichEditQX.h"

namespace {

using bench::Now;
using bench::Seconds;

// A source as a learner's project has them: documentation, annotations,
// fields, strings, numbers, loops, comments, a text block.
std::string JavaSource(std::size_t size) {
    std::string text = "package app.util;\r\n\r\nimport java.util.*;\r\n\r\npublic class Big {\r\n";
    for (int n = 0; text.size() < size; ++n) {
        const std::string i = std::to_string(n);
        text += "    /**\r\n     * Works out value " + i + " from the table.\r\n     * @param limit the highest\r\n"
                "     */\r\n    @Override\r\n    public int compute" + i + "(int limit) {\r\n"
                "        final String name = \"item-" + i + "\\t\";\r\n        long total = 0x1F_FFL + " + i + ";\r\n"
                "        double rate = 1.5e-3 * limit; // per step\r\n"
                "        for (int k = 0; k < limit; k++) {\r\n            if (k % 7 == 0) continue;\r\n"
                "            total += k * 31 + name.length();\r\n        }\r\n"
                "        /* the result is rounded\r\n           towards zero */\r\n"
                "        var words = List.of(\"a\", \"b\", 'c');\r\n        String doc = \"\"\"\r\n"
                "            Value " + i + "\r\n            \"\"\";\r\n"
                "        return (int) (total * rate) + words.size() + doc.length();\r\n    }\r\n\r\n";
    }
    return text + "}\r\n";
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Messages, timers included, for a while: the idle time a user leaves.
void Idle(int ms) {
    const LARGE_INTEGER t0 = Now();
    while (Seconds(t0, Now()) * 1000 < ms) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        Pump();
    }
}

std::size_t Memory() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.WorkingSetSize;
}

struct StringSource {
    const std::string* bytes;
    std::size_t pos;
};
DWORD CALLBACK ReadCb(DWORD_PTR cookie, LPBYTE buf, LONG size, LONG* done) {
    auto* in = reinterpret_cast<StringSource*>(cookie);
    std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), in->bytes->size() - in->pos);
    if (n > 1 && in->pos + n < in->bytes->size() && (*in->bytes)[in->pos + n - 1] == '\r' &&
        (*in->bytes)[in->pos + n] == '\n')
        --n;
    memcpy(buf, in->bytes->data() + in->pos, n);
    in->pos += n;
    *done = static_cast<LONG>(n);
    return 0;
}

// Side by side, so that neither covers the other.
HWND TopWindow(const char* title, int left) {
    return CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, 0, 505, 700, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// The two sides: each opens a text, and then gives its control.
struct Side {
    HWND top = nullptr;
    std::function<HWND(const std::string&)> open;
};

void Key(HWND wnd, UINT vk, char ch) {
    SendMessageA(wnd, WM_KEYDOWN, vk, 1);
    if (ch) SendMessageA(wnd, WM_CHAR, static_cast<unsigned char>(ch), 1);
    SendMessageA(wnd, WM_KEYUP, vk, 0xC0000001);
    UpdateWindow(wnd);
}

void GoTo(HWND wnd, int line) {
    SetFocus(wnd);  // keys go to the control with the focus, as the user's do
    const int pos = static_cast<int>(SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
    CHARRANGE range{pos, pos};
    SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageA(wnd, EM_SCROLLCARET, 0, 0);
    UpdateWindow(wnd);
    Idle(400);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Typing a short statement on a line of each side, one character at a time,
// the sides taking turns a statement at a time so that the machine's changing
// speed weighs on both alike: the median character of each, as other builds on
// the machine make single times jump.
std::pair<double, double> Typing(HWND plain, HWND coloured, int line) {
    GoTo(plain, line);
    GoTo(coloured, line);
    const char* typed = "x = 1; ";
    std::vector<double> times[2];
    for (int rep = 0; rep < 5; ++rep)
        for (int side = 0; side < 2; ++side) {
            const HWND wnd = side ? coloured : plain;
            SetFocus(wnd);
            Idle(50);
            for (const char* c = typed; *c; ++c) {
                const LARGE_INTEGER t0 = Now();
                Key(wnd, VkKeyScanA(*c) & 0xFF, *c);
                times[side].push_back(Seconds(t0, Now()));
                Pump();
            }
        }
    return {Median(times[0]), Median(times[1])};
}

// The median of seven page downs from line, with a pause between them or held down.
double PageDowns(HWND wnd, int line, int pauseMs) {
    GoTo(wnd, line);
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        const LARGE_INTEGER t0 = Now();
        Key(wnd, VK_NEXT, 0);
        times.push_back(Seconds(t0, Now()));
        if (pauseMs) Idle(pauseMs);
    }
    return Median(times);
}

struct Row {
    std::string what;
    double plain, coloured, budget;
    const char* unit;
};

void Print(const Row& r) {
    const double ratio = r.coloured / r.plain;
    const bool wall = r.budget > 10;  // a budget in milliseconds rather than a ratio
    const bool within = wall ? r.coloured * 1000 <= r.budget : ratio <= r.budget;
    char budget[32];
    snprintf(budget, sizeof budget, wall ? "%.0f ms" : "%.2fx", r.budget);
    printf("| %-44s | %9.2f %s | %9.2f %s | %5.2fx | %-8s | %-6s |\n", r.what.c_str(),
           r.plain * (r.unit[0] == 'm' && r.unit[1] == 's' ? 1000 : 1), r.unit,
           r.coloured * (r.unit[0] == 'm' && r.unit[1] == 's' ? 1000 : 1), r.unit, ratio, budget,
           within ? "within" : "OVER");
    fflush(stdout);
}

}  // namespace

int main() {
    LoadLibraryA("RICHED32.DLL");
    HWND plainTop = TopWindow("plain", 0), colourTop = TopWindow("coloured", 512);
    auto editor = std::make_unique<TRichEditQX>(colourTop);
    RECT area{};
    GetClientRect(colourTop, &area);
    MoveWindow(editor->Handle(), 0, 0, area.right, area.bottom, TRUE);
    TEditorFont font;
    font.name = "Courier New";
    font.size = 10;
    editor->SetEditorFont(font);
    const LONG style = GetWindowLongA(editor->Handle(), GWL_STYLE);
    const LONG exStyle = GetWindowLongA(editor->Handle(), GWL_EXSTYLE);
    const HFONT hfont = reinterpret_cast<HFONT>(SendMessageA(editor->Handle(), WM_GETFONT, 0, 0));
    HWND plain = nullptr;

    // Open: a fresh hidden control loaded, shown and painted, the way the editor opens a text.
    auto plainOpen = [&](const std::string& bytes) {
        LARGE_INTEGER t0 = Now();
        HWND fresh = CreateWindowExA(exStyle, "RICHEDIT", "", style & ~WS_VISIBLE, 0, 0, area.right, area.bottom,
                                     plainTop, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(fresh, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
        SendMessageA(fresh, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        SendMessageA(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(hfont), FALSE);
        // The text's area within the scroll bars, as the editor sets it: else
        // Wine's control leaves the caret's line behind the horizontal bar at
        // the end of the text, and a typed character there is never drawn.
        RECT inside{};
        GetClientRect(fresh, &inside);
        SendMessageA(fresh, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&inside));
        StringSource in{&bytes, 0};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, ReadCb};
        SendMessageA(fresh, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
        ShowWindow(fresh, SW_SHOW);
        UpdateWindow(fresh);
        const double s = Seconds(t0, Now());
        if (plain) DestroyWindow(plain);
        plain = fresh;
        SetFocus(plain);
        return s;
    };
    auto colourOpen = [&](const std::string& bytes) {
        LARGE_INTEGER t0 = Now();
        editor->SetText(bytes);
        const double s = Seconds(t0, Now());
        editor->SetFocus();
        return s;
    };

    printf("Java colouring against the plain control in the same run (Wine; the machine is shared, so times"
           " are noisy)\n");
    for (std::size_t size : {std::size_t(50 * 1024), std::size_t(1024 * 1024)}) {
        const std::string source = JavaSource(size);
        const int lines = static_cast<int>(std::count(source.begin(), source.end(), '\n')) + 1;
        const std::string what = size > 100000 ? "1 MB" : "50 KB";
        printf("\n%s source, %zu bytes, %d lines\n", what.c_str(), source.size(), lines);
        printf("| %-44s | %12s | %12s | %6s | %-8s | %-6s |\n", "", "plain", "coloured", "ratio", "budget", "");
        // Open: the best of several on each side, in turn (nine of the short
        // text, whose tens of milliseconds a busy moment of the machine
        // doubles; three of the long one).
        double po = 1e9, co = 1e9;
        std::size_t plainMem = 0, colourMem = 0;
        for (int i = 0; i < (size > 100000 ? 3 : 9); ++i) {
            if (plain) DestroyWindow(plain);
            plain = nullptr;
            editor->SetText("");
            Idle(300);
            std::size_t m0 = Memory();
            po = std::min(po, plainOpen(source));
            Idle(300);
            plainMem = Memory() - m0;
            DestroyWindow(plain);
            plain = nullptr;
            Idle(300);
            m0 = Memory();
            co = std::min(co, colourOpen(source));
            Idle(300);
            colourMem = Memory() - m0;
        }
        Print({"Open, first screen coloured when shown", po, co, size > 100000 ? 1.25 : 1.5, "s "});
        plainOpen(source);
        Idle(300);
        for (auto [where, line] : {std::pair{"top", 12}, std::pair{"end", lines - 20}}) {
            const auto [plainKey, colouredKey] = Typing(plain, editor->Handle(), line);
            Print({std::string("Typed character, ") + where, plainKey, colouredKey, 1.5, "ms"});
        }
        for (int at : {0, lines / 2, lines - 300}) {
            const int line = std::max(at, 0);
            Print({"Page down from line " + std::to_string(line) + ", reading", PageDowns(plain, line, 300),
                   PageDowns(editor->Handle(), line, 300), 50, "ms"});
            Print({"Page down from line " + std::to_string(line) + ", held", PageDowns(plain, line, 0),
                   PageDowns(editor->Handle(), line, 0), 50, "ms"});
        }
        if (size > 100000) {
            Print({"Memory after Open and idle (working set, MB)", plainMem / 1048576.0, colourMem / 1048576.0, 1.15, "MB"});
        }
    }
    editor.reset();
    if (plain) DestroyWindow(plain);
    DestroyWindow(plainTop);
    DestroyWindow(colourTop);
    return 0;
}
