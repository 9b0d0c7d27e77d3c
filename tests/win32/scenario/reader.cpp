// Reads the running editor's windows from outside, as a user's eyes would, for
// the scenario runner: one query per start, the answer on standard output.
//
//   reader QUERY [ARG]
//     wait           waits up to 20 s for the visible main window
//     running        "yes" while the main window exists, else "no"
//     caption        the main window's caption
//     text           the editor's text (line breaks as CR LF)
//     lines          the editor's line count
//     caret          "LINE COL" of the selection's start, both from 1
//     line-of N      the line (from 1) holding character N
//     list errors|output   the list's items, one a line
//     height errors|output the list's client height in pixels
//     status N       status bar panel N
//     focus          the control with the keyboard focus: editor, errors,
//                    output, or CLASS "TEXT"
//     active         the caption of the active window ("" for none)
//     windows        the program's visible top-level windows: CLASS "CAPTION"
//     caret-shown    "yes" when the caret's line and column lie in the
//                    editor's visible part, else "no"
//     painted NAME   "yes" when the screen shows an empty list (errors, output)
//                    in the window colour, else "no"
//     zoomed         "yes" while the main window is maximized, else "no"
//     rect NAME      "X Y W H" on the screen: editor, errors, output, or
//                    @CAPTION/CLASS/TEXT/N, the N-th visible child of that class
//                    and text in the visible window of that caption
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND FindMain() { return FindWindowA("TQPadF", nullptr); }

std::string ClassOf(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string TextOf(HWND w) {
    const LRESULT n = SendMessageA(w, WM_GETTEXTLENGTH, 0, 0);
    std::string s(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
    const LRESULT got = SendMessageA(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return s;
}

BOOL CALLBACK AddChild(HWND w, LPARAM p) {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(parent, &AddChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

// The main window's controls by the role a user knows them by.
HWND Control(HWND main, const std::string& name) {
    int lists = 0;
    for (HWND w : Children(main)) {
        const std::string cls = ClassOf(w);
        if (name == "editor" && _strnicmp(cls.c_str(), "RichEdit", 8) == 0 && IsWindowVisible(w)) return w;
        if (name == "status" && cls == STATUSCLASSNAMEA) return w;
        if (_stricmp(cls.c_str(), "ListBox") == 0) {
            // The error list comes first, the output list second.
            if ((name == "errors" && lists == 0) || (name == "output" && lists == 1)) return w;
            ++lists;
        }
    }
    return nullptr;
}

// Sends a message whose LPARAM points at a buffer in the program's own memory,
// for the common controls' messages, which the system does not carry across.
// (inWParam: the buffer goes in WPARAM and wParam in LPARAM, as EM_POSFROMCHAR takes them.)
std::string Remote(HWND w, UINT msg, WPARAM wParam, std::size_t size, LRESULT* result = nullptr,
                   bool inWParam = false) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return "";
    std::string out(size, '\0');
    if (void* buffer = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {
        const LRESULT r = inWParam ? SendMessageA(w, msg, reinterpret_cast<WPARAM>(buffer), wParam)
                                   : SendMessageA(w, msg, wParam, reinterpret_cast<LPARAM>(buffer));
        if (result) *result = r;
        ReadProcessMemory(process, buffer, out.data(), size, nullptr);
        VirtualFreeEx(process, buffer, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return out;
}

std::string Name(HWND main, HWND w) {
    for (const char* n : {"editor", "errors", "output"})
        if (w && w == Control(main, n)) return n;
    return w ? ClassOf(w) + " \"" + TextOf(w) + "\"" : "none";
}

GUITHREADINFO ThreadInfo(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info;
}

struct Search {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK AddShown(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    RECT rc;
    GetWindowRect(w, &rc);
    if (pid == s->pid && IsWindowVisible(w) && rc.right > rc.left) s->found.push_back(w);
    return TRUE;
}

// The program's visible windows with an area, topmost first.
std::vector<HWND> TopLevel(HWND main) {
    Search search{0, {}};
    GetWindowThreadProcessId(main, &search.pid);
    EnumWindows(&AddShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Find(HWND main, const std::string& name) {
    if (name.empty() || name[0] != '@') return Control(main, name);
    // @CAPTION/CLASS/TEXT/N
    std::vector<std::string> part;
    std::size_t from = 1, slash;
    while ((slash = name.find('/', from)) != std::string::npos) {
        part.push_back(name.substr(from, slash - from));
        from = slash + 1;
    }
    part.push_back(name.substr(from));
    if (part.size() != 4) return nullptr;
    int n = std::atoi(part[3].c_str());
    for (HWND top : TopLevel(main)) {
        if (TextOf(top) != part[0]) continue;
        for (HWND w : Children(top))
            if (IsWindowVisible(w) && _stricmp(ClassOf(w).c_str(), part[1].c_str()) == 0 && TextOf(w) == part[2] &&
                n-- == 0)
                return w;
    }
    return nullptr;
}

int LineOf(HWND editor, int offset) {
    return static_cast<int>(SendMessageA(editor, EM_EXLINEFROMCHAR, 0, offset)) + 1;
}

}  // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);  // the text's own line breaks, untranslated
    const std::string query = argc > 1 ? argv[1] : "";
    const std::string arg = argc > 2 ? argv[2] : "";
    HWND main = FindMain();
    if (query == "wait") {
        for (int i = 0; i < 200 && !(main && IsWindowVisible(main)); ++i) {
            Sleep(100);
            main = FindMain();
        }
        std::printf("%s\n", main && IsWindowVisible(main) ? "shown" : "not shown");
        return main ? 0 : 1;
    }
    if (query == "running") {
        std::printf("%s\n", main ? "yes" : "no");
        return 0;
    }
    if (!main) {
        std::fprintf(stderr, "reader: no main window\n");
        return 1;
    }
    HWND editor = Control(main, "editor");
    std::string out;
    if (query == "caption") {
        out = TextOf(main);
    } else if (query == "text") {
        out = TextOf(editor);
    } else if (query == "lines") {
        out = std::to_string(SendMessageA(editor, EM_GETLINECOUNT, 0, 0));
    } else if (query == "caret") {
        LRESULT ignored = 0;
        const std::string range = Remote(editor, EM_EXGETSEL, 0, sizeof(CHARRANGE), &ignored);
        const auto* r = reinterpret_cast<const CHARRANGE*>(range.data());
        const int line = LineOf(editor, r->cpMin);
        const int start = static_cast<int>(SendMessageA(editor, EM_LINEINDEX, line - 1, 0));
        out = std::to_string(line) + " " + std::to_string(r->cpMin - start + 1);
    } else if (query == "caret-shown") {
        const auto pos = [&](LRESULT i) {
            return *reinterpret_cast<const POINTL*>(Remote(editor, EM_POSFROMCHAR, i, sizeof(POINTL), nullptr, true).data());
        };
        LRESULT ignored = 0;
        const LONG caret = reinterpret_cast<const CHARRANGE*>(Remote(editor, EM_EXGETSEL, 0, sizeof(CHARRANGE), &ignored).data())->cpMin;
        RECT v = {}, client = {};  // the text's area (carried across by the system) less the scroll bars
        SendMessageA(editor, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&v));
        GetClientRect(editor, &client);
        IntersectRect(&v, &v, &client);
        const POINTL at = pos(caret);
        const LONG lineHeight = pos(SendMessageA(editor, EM_LINEINDEX, 1, 0)).y - pos(0).y;
        out = at.x >= v.left && at.x < v.right && at.y >= v.top && at.y + lineHeight <= v.bottom ? "yes" : "no";
    } else if (query == "painted") {  // the middle of an empty list as the screen shows it
        RECT rc = {};
        GetWindowRect(Control(main, arg), &rc);
        HDC screen = GetDC(nullptr);
        out = GetPixel(screen, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2) == GetSysColor(COLOR_WINDOW) ? "yes" : "no";
        ReleaseDC(nullptr, screen);
    } else if (query == "zoomed") {
        out = IsZoomed(main) ? "yes" : "no";
    } else if (query == "line-of") {
        out = std::to_string(LineOf(editor, std::atoi(arg.c_str())));
    } else if (query == "list") {
        HWND list = Control(main, arg);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            // As wide characters, which the system carries across processes alike
            // everywhere, then back to the program's code page.
            std::wstring item(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
            char bytes[4096] = "";
            WideCharToMultiByte(CP_ACP, 0, item.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
            if (i) out += '\n';
            out += bytes;
        }
    } else if (query == "height") {
        RECT rc = {};
        GetClientRect(Control(main, arg), &rc);
        out = std::to_string(rc.bottom);
    } else if (query == "status") {
        HWND bar = Control(main, "status");
        const int panel = std::atoi(arg.c_str());
        const std::size_t size = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, panel, 0)) + 1;
        out = Remote(bar, SB_GETTEXTA, panel, size).c_str();
    } else if (query == "focus") {
        out = Name(main, ThreadInfo(main).hwndFocus);
    } else if (query == "active") {
        // The caption the system keeps: no message to a program that may be busy.
        HWND active = ThreadInfo(main).hwndActive;
        char caption[256] = "";
        if (active) GetWindowTextA(active, caption, sizeof caption);
        out = caption;
    } else if (query == "windows") {
        for (HWND w : TopLevel(main)) {
            if (!out.empty()) out += '\n';
            out += ClassOf(w);
            out += " \"" + TextOf(w) + "\"";
        }
    } else if (query == "rect") {
        HWND w = Find(main, arg);
        RECT rc = {};
        if (!w || !GetWindowRect(w, &rc)) {
            std::fprintf(stderr, "reader: no window %s\n", arg.c_str());
            return 1;
        }
        out = std::to_string(rc.left) + " " + std::to_string(rc.top) + " " + std::to_string(rc.right - rc.left) +
              " " + std::to_string(rc.bottom - rc.top);
    } else {
        std::fprintf(stderr, "reader: unknown query %s\n", query.c_str());
        return 2;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::printf("\n");
    return 0;
}
