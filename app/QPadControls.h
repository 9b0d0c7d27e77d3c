#pragma once
// The plain containers the main window is built from: a panel that hands its
// children's notifications to the main window, and a bevelled splitter bar.
#include <windows.h>

#include <functional>

// Registers the window classes once; safe to call again.
void RegisterQPadControls(HINSTANCE instance);

// A borderless container at place (in its parent's client area). WM_COMMAND and
// WM_NOTIFY from its children go to `target` (the main window), so one window
// procedure sees every notification.
HWND CreatePanel(HWND parent, HWND target, const RECT& place);

// A splitter bar. `vertical` drags up and down (a horizontal bar); otherwise it
// drags left and right. While dragging, onDrag gets the distance in pixels the
// mouse has moved since the button went down.
struct SplitterDrag {
    std::function<void()> begin;
    std::function<void(int delta)> drag;
};
HWND CreateSplitter(HWND parent, bool vertical, SplitterDrag* handlers, const RECT& place);

// Moves a child window to place (in its parent's client area) unless it is
// there already: each move costs a round trip to the window system.
void Place(HWND child, const RECT& place);

// The tool bar images of the program's own commands, 16 x 16 each, from the
// program's resources on the given background: Compile, Run, Run Applet.
HBITMAP CreateCodeButtonsBitmap(COLORREF background);
// The program's icon (its resource) at size x size pixels; the caller destroys it.
HICON CreateAppIcon(int size);
