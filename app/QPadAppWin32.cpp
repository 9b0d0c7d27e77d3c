// Program start-up and shut-down: process-wide set-up, the application window
// that carries the task-bar button, the four windows in their order, the
// message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>

#include "LauncherWin32.h"
#include "OptionsU.h"
#include "QPadU.h"
#include "ScopedWin32.h"

std::string ApplicationTitle = kAppTitle;

namespace {

const char kApplicationClass[] = "TQuillpadApplication";
// Posted to itself: pass the activation on once the owned windows are shown again.
const UINT WM_ACTIVATEOWNED = WM_USER + 1;

struct ApplicationState {
    std::optional<ScopedOle> ole;
    ScopedIcon icon;
    HWND window = nullptr;

    ApplicationState() = default;
    // The window first, then its icon, then OLE.
    ~ApplicationState() {
        if (window) DestroyWindow(window);
    }
    ApplicationState(const ApplicationState&) = delete;
    ApplicationState& operator=(const ApplicationState&) = delete;
};
std::unique_ptr<ApplicationState> application;

BOOL CALLBACK FindEnabledOwned(HWND w, LPARAM p) {
    auto* owner = reinterpret_cast<HWND*>(p);
    if (GetWindow(w, GW_OWNER) != *owner || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
    *owner = w;
    return FALSE;
}

// The window that takes the activation passed on by the application window: the
// main window, or what it waits for (a modal dialog or box disables its owner).
// The system's record of the last active popup can stop at any link of the
// chain, so a disabled link is followed to its visible, enabled owned window.
HWND ActivationTarget(HWND application) {
    HWND target = GetLastActivePopup(application);
    if ((!target || target == application) && QPadF) target = QPadF->Handle();
    for (int depth = 0; target && !IsWindowEnabled(target) && depth < 8; ++depth) {
        HWND next = GetLastActivePopup(target);
        if (next == target || !next) {
            next = target;
            EnumThreadWindows(GetCurrentThreadId(), &FindEnabledOwned, reinterpret_cast<LPARAM>(&next));
        }
        if (next == target) break;
        target = next;
    }
    return target;
}

// The application window has no area of its own; it stands for the program in
// the task bar and in Alt+Tab under the application title, and hands
// activation and closing on to the windows it owns.
LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ACTIVATE:
        // While it is being restored its owned windows are still hidden.
        if (LOWORD(wParam) != WA_INACTIVE) PostMessageA(hwnd, WM_ACTIVATEOWNED, 0, 0);
        break;
    case WM_ACTIVATEOWNED: {
        HWND target = ActivationTarget(hwnd);
        if (GetActiveWindow() == hwnd && target && target != hwnd && IsWindowVisible(target) &&
            IsWindowEnabled(target))
            SetActiveWindow(target);
        return 0;
    }
    case WM_SIZE:
        if (QPadF) QPadF->FollowApplication(wParam == SIZE_MINIMIZED);
        break;
    case WM_CLOSE:
        if (QPadF && QPadF->Handle()) PostMessageA(QPadF->Handle(), WM_CLOSE, 0, 0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

void InitApplication() {
    if (application) return;
    application = std::make_unique<ApplicationState>();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterQPadControls(instance);
    TQPadF::RegisterWindowClass(instance);

    // Its icon comes when it is shown (ShowApplicationWindow), after the main
    // window: a window with an icon costs the window system more to make.
    RegisterWindowClassOnce(instance, kApplicationClass, ApplicationProc);
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    application->window = CreateWindowExA(0, kApplicationClass, ApplicationTitle.c_str(),
                                          WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                          x, y, 0, 0, nullptr, nullptr, instance, nullptr);
}

// Visible but of no size: that is what gives it the task-bar button. It is shown
// after the main window, which takes the activation and the keyboard: a window
// manager gives the focus to the first window that asks, and one of no size
// cannot take it.
void ShowApplicationWindow() {
    if (!application || !application->window || IsWindowVisible(application->window)) return;
    if (!application->icon.Get()) {
        application->icon.Reset(CreateAppIcon(GetSystemMetrics(SM_CXICON)));
        SendMessageA(application->window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(application->icon.Get()));
    }
    RECT rc;
    GetWindowRect(application->window, &rc);
    SetWindowPos(application->window, nullptr, rc.left, rc.top, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HWND ApplicationWindow() { return application ? application->window : nullptr; }

void StartOle() {
    if (application && !application->ole) application->ole.emplace();
}

namespace {

void DoneApplication() { application.reset(); }

// One message of either loop; false for WM_QUIT.
bool Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) return false;
    bool consumed = false;
    if (QPadF) QPadF->Guarded([&] { consumed = QPadF->PreTranslate(msg); });
    if (!consumed) {
        TranslateMessage(&msg);
        // Unicode all the way: the editor takes typed characters the ANSI code page lacks.
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

void ProcessMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!Dispatch(msg)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop proper
            return;
        }
    }
}

int RunMessageLoop() {
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!Dispatch(msg)) return static_cast<int>(msg.wParam);
        if (QPadF) QPadF->Guarded([] { QPadF->Idle(); });
        WaitMessage();
    }
}

int RunApplication(HINSTANCE, int showCommand, const std::vector<std::string>& args) {
    InitCompilerU();
    ApplicationTitle = kAppTitle;
    // The main window and the settings holder; QPadF and OptionsF point to them.
    std::unique_ptr<TQPadF> mainWindow;
    std::unique_ptr<TOptionsF> settings;
    // A failure before the message loop ends the program, with its message: in a
    // plain box before the main window exists, through AppException after.
    try {
        InitApplication();
        mainWindow = std::make_unique<TQPadF>();
        QPadF = mainWindow.get();
        // The settings are read (and the SDK folder checked) before the main window
        // shows; the dialogs' windows wait for their first use.
        settings = std::make_unique<TOptionsF>(QPadF->Handle(), TOptionsF::Window::OnFirstShow);
        OptionsF = settings.get();
        if (!OptionsF->JdkFoundAtCreation().empty()) QPadF->ShowStatus(OptionsF->JdkFoundAtCreation());
    } catch (...) {
        HandleStrayFailure();
        return 1;
    }
    // Minimized means the application window minimized, as the minimize button
    // does it: the main window stays hidden with it and comes when it is restored.
    const bool minimized = showCommand == SW_MINIMIZE || showCommand == SW_SHOWMINIMIZED ||
                           showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_FORCEMINIMIZE;
    QPadF->Show(minimized ? SW_HIDE : showCommand);
    ShowApplicationWindow();
    if (minimized) ShowWindow(ApplicationWindow(), SW_SHOWMINNOACTIVE);
    // A file named on the command line (Open with, a drop on the program's icon)
    // opens once the program has started as it always does.
    QPadF->Guarded([] { QPadF->LoadRecentFiles(); });
    QPadF->Guarded([&] { QPadF->OpenFromCommandLine(args); });
    int code = RunMessageLoop();
    // In the order the program has always closed in: the search dialogs, the
    // settings holder, then the about box and the main window with its editor.
    mainWindow->DestroySearchDialogs();
    settings.reset();
    mainWindow.reset();
    DoneApplication();
    DoneCompilerU();
    return code;
}
