#include "QPadPlacement.h"

#include "QpMessages.h"

// Hidden with the application window (minimized), the window may come back
// from the window manager moved and no longer maximized (it is under Wine): its
// placement is put back once it is shown again. Wine tells an owned window of
// its owner's minimizing and restoring this way too, besides FollowApplication:
// the second putting back is needed there.
void TPlacementKeeper::ShowWindowChanged(HWND window, bool shown, LPARAM status) {
    if (!shown && status == SW_PARENTCLOSING)
        Save(window);
    else if (shown && status == SW_PARENTOPENING)
        RestoreSoon(window);
}

// Taken out of maximized by the window manager just after being shown again.
void TPlacementKeeper::Resized(HWND window, WPARAM type) {
    if (type == SIZE_RESTORED && Restoring() && placement_.showCmd == SW_SHOWMAXIMIZED)
        PostMessageA(window, WM_RESTOREPLACEMENT, 0, 0);
}

void TPlacementKeeper::PutBack(HWND window) {
    if (Restoring() && IsWindowVisible(window)) SetWindowPlacement(window, &placement_);
}

bool TPlacementKeeper::Restoring() {
    if (saved_ && static_cast<int>(clock_() - restoreUntil_) > 0) saved_ = false;
    return saved_;
}

void TPlacementKeeper::Save(HWND window) {
    placement_.length = sizeof placement_;
    saved_ = GetWindowPlacement(window, &placement_) != 0;
}

void TPlacementKeeper::RestoreSoon(HWND window) {
    if (!saved_) return;
    restoreUntil_ = clock_() + 2000;  // the window manager's answer comes within
    PostMessageA(window, WM_RESTOREPLACEMENT, 0, 0);
}

// The system hides only pop-up windows with their minimized owner, and a window
// manager's minimize button may have taken this one off the screen by itself:
// it is hidden and shown here, so that restoring the task-bar button brings it back.
void TPlacementKeeper::FollowApplication(HWND window, bool minimized) {
    if (minimized) {
        if (hiddenWithApplication_) return;
        // Not yet shown at all when the program starts minimized.
        if (IsWindowVisible(window)) Save(window);
        hiddenWithApplication_ = true;
        ShowWindow(window, SW_HIDE);
    } else if (hiddenWithApplication_) {
        hiddenWithApplication_ = false;
        // Shown active, as a window manager gives the keyboard only to a window
        // that asks as it comes; a modal dialog it waits for gets the activation
        // from the application window instead.
        ShowWindow(window, IsWindowEnabled(window) ? SW_SHOW : SW_SHOWNA);
        RestoreSoon(window);
    }
}
