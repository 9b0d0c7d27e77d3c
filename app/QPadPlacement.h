#pragma once
// The main window's placement while it is hidden and shown again with the
// application window: the window manager may bring it back moved and no longer
// maximized (it does under Wine), so the placement it had is put back.
#include <windows.h>

class TPlacementKeeper {
public:
    // The clock in milliseconds; tests hand in their own.
    using Clock = DWORD(WINAPI*)();
    explicit TPlacementKeeper(Clock clock = &GetTickCount) : clock_(clock) {}

    // The window's WM_SHOWWINDOW: hidden or shown with its owner.
    void ShowWindowChanged(HWND window, bool shown, LPARAM status);
    // Its WM_SIZE (other than minimized).
    void Resized(HWND window, WPARAM type);
    // Its WM_RESTOREPLACEMENT: the saved placement put back, while that lasts.
    void PutBack(HWND window);
    // Hidden while the application window is minimized, and shown again as it
    // was when that is restored.
    void FollowApplication(HWND window, bool minimized);

    // The placement as of now, to be put back once the window shows again.
    void Save(HWND window);
    // Shown again: the placement goes back for the next two seconds, within
    // which the window manager's answer comes.
    void RestoreSoon(HWND window);
    // True while the saved placement is still being put back.
    bool Restoring();
    const WINDOWPLACEMENT& Placement() const { return placement_; }
    bool HiddenWithApplication() const { return hiddenWithApplication_; }

private:
    Clock clock_;
    WINDOWPLACEMENT placement_{};  // as it was when minimized, for the restore
    bool saved_ = false;
    bool hiddenWithApplication_ = false;
    DWORD restoreUntil_ = 0;  // the placement is put back until then
};
