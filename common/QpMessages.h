#pragma once
// The program's private window messages.
#include <windows.h>

// Posted by the options dialog to the main window after OK; both parameters 0.
constexpr UINT WM_APPLYSETTINGS = WM_USER + 0x1000;

// Posted by the main window to itself when it is shown again after a minimize.
constexpr UINT WM_RESTOREPLACEMENT = WM_USER + 0x1001;

// Posted by the main window to itself to look at its file on disk once it is
// free to ask (no command running, no modal box up).
constexpr UINT WM_CHECKFILE = WM_USER + 0x1002;
