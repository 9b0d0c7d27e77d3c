#include "QPadControls.h"

#include <memory>
#include <vector>

#include "ControlsWin32.h"
#include "QPadResources.h"
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

// Made with the splitter and owned by it: the window holds it from WM_NCCREATE
// to WM_NCDESTROY.
struct SplitterState {
    bool vertical;
    SplitterDrag* handlers;
    bool dragging = false;
    POINT start{};
};

LRESULT CALLBACK SplitterProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* state = WindowObject<SplitterState>(hwnd, msg, lParam);
    switch (msg) {
    case WM_NCDESTROY: {
        const std::unique_ptr<SplitterState> owned(state);  // the window's end is the state's
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        break;
    }
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
        const ScopedPaint paint(hwnd);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(paint.Get(), &rc, GetSysColorBrush(COLOR_BTNFACE));  // a system brush: not ours to free
        DrawEdge(paint.Get(), &rc, BDR_RAISEDINNER, BF_RECT);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterQPadControls(HINSTANCE instance) {
    RegisterWindowClassOnce(instance, kPanelClass, PanelProc);
    RegisterWindowClassOnce(instance, kSplitterClass, SplitterProc);
}

HWND CreatePanel(HWND parent, HWND target, const RECT& place) {
    HWND panel = CreateWindowExA(0, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.left, place.top,
                                 place.right - place.left, place.bottom - place.top, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(target));
    return panel;
}

HWND CreateSplitter(HWND parent, bool vertical, SplitterDrag* handlers, const RECT& place) {
    auto state = std::make_unique<SplitterState>(SplitterState{vertical, handlers});
    HWND hwnd = CreateWindowExA(0, kSplitterClass, "", WS_CHILD | WS_VISIBLE, place.left, place.top,
                                place.right - place.left, place.bottom - place.top, parent, nullptr,
                                GetModuleHandleA(nullptr), state.get());
    if (hwnd) state.release();  // the window's now: freed at its WM_NCDESTROY
    return hwnd;
}

void Place(HWND child, const RECT& place) {
    RECT now;
    if (GetWindowRect(child, &now)) {
        MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&now), 2);
        if (EqualRect(&now, &place)) return;
    }
    MoveWindow(child, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

// The resource's magenta is where the background shows; the tool bar then
// masks the bitmap by the background it was given.
HBITMAP CreateCodeButtonsBitmap(COLORREF background) {
    ScopedBitmap loaded(static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_CODE_BUTTONS),
                                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP size = {};
    if (!loaded.Get() || !GetObjectA(loaded.Get(), sizeof size, &size)) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(std::size_t(size.bmWidth) * size.bmHeight);  // 0x00RRGGBB
    ScopedGetDC screen(nullptr);
    if (!GetDIBits(screen.Get(), loaded.Get(), 0, size.bmHeight, pixels.data(), &info, DIB_RGB_COLORS)) return nullptr;
    const DWORD face = DWORD(GetRValue(background)) << 16 | DWORD(GetGValue(background)) << 8 | GetBValue(background);
    for (DWORD& p : pixels) p = (p & 0xFFFFFF) == 0xFF00FF ? face : p & 0xFFFFFF;
    return CreateDIBitmap(screen.Get(), &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS);
}

HICON CreateAppIcon(int size) {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_QUILLPAD), IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR));
}
