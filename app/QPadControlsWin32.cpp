#include "QPadControls.h"

#include <vector>

#include "ScopedWin32.h"

namespace {

const char kPanelClass[] = "QpPanel";
const char kSplitterClass[] = "QpSplitter";

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY: {
        HWND target = reinterpret_cast<HWND>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (target) return SendMessageA(target, msg, wParam, lParam);
        break;
    }
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct SplitterState {
    bool vertical;
    SplitterDrag* handlers;
    bool dragging = false;
    POINT start{};
};

LRESULT CALLBACK SplitterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<SplitterState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        break;
    }
    case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        break;
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, state && state->vertical ? IDC_SIZENS : IDC_SIZEWE));
        return TRUE;
    case WM_LBUTTONDOWN:
        if (!state) break;
        state->dragging = true;
        GetCursorPos(&state->start);
        SetCapture(hwnd);
        if (state->handlers && state->handlers->begin) state->handlers->begin();
        return 0;
    case WM_MOUSEMOVE:
        if (state && state->dragging && state->handlers && state->handlers->drag) {
            POINT now;
            GetCursorPos(&now);
            state->handlers->drag(state->vertical ? now.y - state->start.y
                                                  : now.x - state->start.x);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (state && state->dragging) {
            state->dragging = false;
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Small pictures drawn into memory and made into a bitmap in one call: a GDI
// call for each pixel made the program's start measurably slower.
struct Canvas {
    int width, height;
    std::vector<DWORD> pixels;  // 0x00RRGGBB, the top row first

    Canvas(int w, int h, COLORREF background) : width(w), height(h), pixels(std::size_t(w) * h, Pixel(background)) {}

    static DWORD Pixel(COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); }
    void Set(int x, int y, COLORREF c) { pixels[std::size_t(y) * width + x] = Pixel(c); }

    // A bitmap of the screen's format holding the pixels; the caller owns it.
    HBITMAP Bitmap() const {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        return CreateDIBitmap(ScopedGetDC(nullptr).Get(), &info.bmiHeader, CBM_INIT, pixels.data(), &info,
                              DIB_RGB_COLORS);
    }
    // Paints a picture given as rows of characters; each character names a colour.
    void Picture(int x0, int y0, const char* const* rows, int nrows) {
        for (int y = 0; y < nrows; ++y)
            for (int x = 0; rows[y][x]; ++x) {
                COLORREF c;
                switch (rows[y][x]) {
                case 'k': c = RGB(0, 0, 0); break;
                case 'g': c = RGB(0, 160, 0); break;
                case 'G': c = RGB(0, 96, 0); break;
                case 'b': c = RGB(0, 64, 192); break;
                case 'B': c = RGB(0, 0, 128); break;
                case 'w': c = RGB(255, 255, 255); break;
                case 'y': c = RGB(255, 208, 0); break;
                case 'o': c = RGB(192, 96, 0); break;
                case 'd': c = RGB(128, 128, 128); break;
                default: continue;  // '.' stays background
                }
                Set(x0 + x, y0 + y, c);
            }
    }
};

// Compile: a gear-less "build" picture: source sheet with an arrow into a box.
const char* const kCompile[16] = {
    "kkkkkkk.........",
    "kwwwwwkk........",
    "kwbbbwkwk.......",
    "kwwwwwkkkk......",
    "kwbbbbbwwk......",
    "kwwwwwwwwk..g...",
    "kwbbbbbwwk..gg..",
    "kwwwwwwwwkgggggg",
    "kkkkkkkkkk..gg.g",
    "............g..g",
    "........ooooooog",
    ".......oyyyyyyo.",
    "......oyyyyyyoo.",
    "......oooooooyo.",
    "......oyyyyyyoo.",
    "......oooooooo..",
};
// Run: a green arrow head.
const char* const kRun[16] = {
    "................",
    "...kk...........",
    "...kgk..........",
    "...kggk.........",
    "...kgggk........",
    "...kggggk.......",
    "...kgggggk......",
    "...kggggggk.....",
    "...kgggggggk....",
    "...kggggggk.....",
    "...kgggggk......",
    "...kggggk.......",
    "...kgggk........",
    "...kggk.........",
    "...kgk..........",
    "...kk...........",
};
// Run Applet: a small window with the arrow inside.
const char* const kRunApplet[16] = {
    "kkkkkkkkkkkkkkkk",
    "kBBBBBBBBBBBBwBk",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwwkkwwwwwwwwwwk",
    "kwwkgkwwwwwwwwwk",
    "kwwkggkwwwwwwwwk",
    "kwwkgggkwwwwwwwk",
    "kwwkggggkwwwwwwk",
    "kwwkgggkwwwwwwwk",
    "kwwkggkwwwwwwwwk",
    "kwwkgkwwwwwwwwwk",
    "kwwkkwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
};
// The window icon: a sheet with a quill across it.
const char* const kAppIcon[16] = {
    "..kkkkkkkkk.....",
    "..kwwwwwwwkk..Bb",
    "..kwwwwwwwkwkBb.",
    "..kwdddddwkkBbk.",
    "..kwwwwwwwwBbwk.",
    "..kwddddddBbdwk.",
    "..kwwwwwwBbwwwk.",
    "..kwdddwBbddwwk.",
    "..kwwwwBbwwwwwk.",
    "..kwdddbddddwwk.",
    "..kwwwkwwwwwwwk.",
    "..kwddkdddddwwk.",
    "..kwwwwwwwwwwwk.",
    "..kwwwwwwwwwwwk.",
    "..kkkkkkkkkkkkk.",
    "................",
};

}  // namespace

void RegisterQPadControls(HINSTANCE instance) {
    RegisterWindowClassOnce(instance, kPanelClass, PanelProc);
    RegisterWindowClassOnce(instance, kSplitterClass, SplitterProc);
}

HWND CreatePanel(HWND parent, HWND target) {
    HWND panel = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                 0, 0, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    return panel;
}

HWND CreateSplitter(HWND parent, bool vertical, SplitterDrag* handlers) {
    auto* state = new SplitterState{vertical, handlers};
    HWND hwnd = CreateWindowExA(0, kSplitterClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                                nullptr, GetModuleHandleA(nullptr), state);
    if (!hwnd) delete state;
    return hwnd;
}

HBITMAP CreateCodeButtonsBitmap(COLORREF background) {
    Canvas canvas(48, 16, background);
    canvas.Picture(0, 0, kCompile, 16);
    canvas.Picture(16, 0, kRun, 16);
    canvas.Picture(32, 0, kRunApplet, 16);
    return canvas.Bitmap();
}

HICON CreateAppIcon(int size) {
    Canvas color(16, 16, RGB(0, 0, 0));
    color.Picture(0, 0, kAppIcon, 16);
    // The mask: white where the picture has no pixel.
    Canvas mask(16, 16, RGB(255, 255, 255));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; kAppIcon[y][x]; ++x)
            if (kAppIcon[y][x] != '.') mask.Set(x, y, RGB(0, 0, 0));
    ScopedBitmap colorBits(color.Bitmap()), maskBits(mask.Bitmap());
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colorBits.Get();
    info.hbmMask = maskBits.Get();
    HICON small = CreateIconIndirect(&info);  // it copies the bitmaps
    if (size == 16 || !small) return small;
    HICON big = static_cast<HICON>(CopyImage(small, IMAGE_ICON, size, size, 0));
    DestroyIcon(small);
    return big;
}
