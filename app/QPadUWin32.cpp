#include "QPadU.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <utility>

#include "LateBoundWin32.h"
#include "LauncherWin32.h"
#include "OptionsU.h"
#include "Prompts.h"
#include "RichEditQX.h"

TQPadF* QPadF = nullptr;

namespace {

const char kMainClass[] = "TQPadF";

// Failures caught outside this window's procedure reach AppException too.
TQPadF* failureWindow = nullptr;
void (*plainFailureHandler)() = nullptr;

void ToAppException() {
    if (failureWindow)
        failureWindow->Guarded([] { throw; });
    else if (plainFailureHandler)
        plainFailureHandler();
}

bool IsTextControl(HWND hwnd) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return _stricmp(cls, "Edit") == 0 || _strnicmp(cls, "RichEdit", 8) == 0;
}

}  // namespace

// The window's icons are its class's, made once for the program's life: the
// window system takes them from there when it makes the window. Set on the
// window before it shows, they would be converted a second time on the way to
// the screen; Show sets them on the window once it is up.
void TQPadF::RegisterWindowClass(HINSTANCE instance) {
    static const HICON big = CreateAppIcon(GetSystemMetrics(SM_CXICON)), small = CreateAppIcon(16);
    RegisterWindowClassOnce(instance, kMainClass, WndProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), big, small);
}

TQPadF::TQPadF() : launcher_(WindowsLauncher()) {
    HINSTANCE instance = GetModuleHandleA(nullptr);

    CreateActions();
    CreateMenus();
    InitFileDialogs();

    // The designed client area of 694 x 480; the system picks the position. The
    // application window owns this one and carries the task-bar button.
    RECT rc{0, 0, 694, 480};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&rc, style, TRUE, 0);
    // WS_EX_ACCEPTFILES: a file dropped on the window opens.
    hwnd_ = CreateWindowExA(WS_EX_ACCEPTFILES, kMainClass, kAppTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            rc.right - rc.left, rc.bottom - rc.top, ApplicationWindow(), MainMenu1, instance, this);
    if (!hwnd_) throw Exception("Cannot create the main window");

    CreateToolBar();
    CreateLayout();
    FormCreate();
}

TQPadF::~TQPadF() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (failureWindow == this) failureWindow = nullptr;
    if (QPadF == this) QPadF = nullptr;
}

void TQPadF::FormCreate() {
    SourceEdit = new TRichEditQX(RichEditP);
    Layout();
    SourceEdit->OnChange = [this] { RichEditChange(); };
    SourceEdit->OnSelectionChange = [this] { RichEditSelectionChange(); };
    // Failures that reach the message loop go to AppException: see Guarded and
    // WndProc; those caught in other window procedures come the same way.
    if (StrayFailureHandler != &ToAppException) plainFailureHandler = StrayFailureHandler;
    failureWindow = this;
    StrayFailureHandler = &ToAppException;
    // The status text is empty from the bar's making: no message loop runs
    // before the window shows.
    StartUntitled(false);
}

void TQPadF::Show(int showCommand) {
    const bool first = firstShow_;
    firstShow_ = false;
    if (first) FormShow();
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    if (!first) return;
    ApplyListFont();
    if (showCommand != SW_HIDE) SourceEdit->SetFocus();
    // The class's icons on the window too, for those who ask it (the about box).
    for (auto [type, index] : {std::pair{ICON_BIG, GCLP_HICON}, std::pair{ICON_SMALL, GCLP_HICONSM}})
        SendMessageA(hwnd_, WM_SETICON, type, static_cast<LPARAM>(GetClassLongPtrA(hwnd_, index)));
    // What the commands need loads now that the window is up, before any of them runs.
    StartOle();
    PreloadLateBoundDlls();
}

// Before the window first shows, so that its first sight has them: the settings
// as read, on the editor and on the first untitled text.
void TQPadF::FormShow() {
    ApplyEditorSettings();
    // The first untitled text was made before the settings were read: it takes
    // what they give a new text now, unless something was put in it meanwhile.
    if (OptionsF && FileName == kUntitledName && !SourceEdit->Modified()) {
        OptionsF->SetSourceFile(FileName);
        SourceEdit->SetForm(NewFileForm());
        ShowSourceForm();
    }
}

void TQPadF::FormCloseQuery(bool& canClose) {
    try {
        CheckSaveChanges();
    } catch (...) {
        canClose = false;  // Cancel, or a failed save: stay open, say nothing
    }
}

void TQPadF::FormDestroy() {
    delete SourceEdit;
    SourceEdit = nullptr;
}

HWND TQPadF::FocusedTextControl() const {
    HWND focus = GetFocus();
    return focus && IsTextControl(focus) ? focus : nullptr;
}

void TQPadF::Idle() {
    HWND control = FocusedTextControl();
    bool canUndo = false, canRedo = false, hasSelection = false;
    if (control) {
        // The editor answers from its own history.
        canUndo = SendMessageA(control, EM_CANUNDO, 0, 0) != 0;
        canRedo = SendMessageA(control, EM_CANREDO, 0, 0) != 0;
        DWORD start = 0, end = 0;
        SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        hasSelection = end != start;
    }
    SetActionEnabled(Action(ActionId::EditUndo1), canUndo);
    SetActionEnabled(Action(ActionId::EditRedo1), canRedo);
    SetActionEnabled(Action(ActionId::EditCut1), hasSelection);
    SetActionEnabled(Action(ActionId::EditCopy1), hasSelection);
    SetActionEnabled(Action(ActionId::EditPaste1), control && ClipboardHasText());
}

// The idle work runs after every burst of messages, several times a key. The
// clipboard is asked again only once its change count has moved or the program
// has been activated since (under Wine, asking costs a call to another thread,
// and text copied in another program may reach the count only when asked for).
// A change count of 0 stands for none known (and is what a refused ask gives).
bool TQPadF::ClipboardHasText() {
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == 0 || sequence != clipboardSequence_) {
        clipboardHasText_ = IsClipboardFormatAvailable(CF_TEXT) != 0;
        clipboardSequence_ = sequence;
    }
    return clipboardHasText_;
}

// The editor through its own operations; any other edit control by message.
void TQPadF::EditFocused(void (TRichEditQX::*own)(), UINT message) {
    HWND c = FocusedTextControl();
    if (c && c == SourceEdit->Handle())
        (SourceEdit->*own)();
    else if (c)
        SendMessageA(c, message, 0, 0);
}
void TQPadF::EditUndo1Execute() { EditFocused(&TRichEditQX::Undo, EM_UNDO); }
void TQPadF::EditCut1Execute() { EditFocused(&TRichEditQX::Cut, WM_CUT); }
void TQPadF::EditCopy1Execute() { EditFocused(&TRichEditQX::Copy, WM_COPY); }
void TQPadF::EditPaste1Execute() { EditFocused(&TRichEditQX::Paste, WM_PASTE); }
void TQPadF::EditRedo1Execute() { EditFocused(&TRichEditQX::Redo, EM_REDO); }
void TQPadF::EditSelectAll1Execute() {
    HWND c = FocusedTextControl();
    if (c && c == SourceEdit->Handle())
        SourceEdit->SelectAll();
    else if (c)
        SendMessageA(c, EM_SETSEL, 0, -1);
}

std::string TQPadF::PanelText(int panel) const {
    int length = LOWORD(SendMessageA(StatusBar, SB_GETTEXTLENGTHA, panel, 0));
    std::string text(length + 1, '\0');
    SendMessageA(StatusBar, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void TQPadF::SetHintText(const std::string& hint) {
    std::string text = LongHint(hint);
    if (text == lastHint_) return;
    lastHint_ = text;
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TQPadF::PreTranslate(MSG& msg) {
    // The program-wide cursor over every window of the program: the editor and
    // the splitters choose their own cursors, before the mouse move is queued.
    if (ScreenCursor() && (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE))
        SetCursor(ScreenCursor());
    if (msg.message == WM_MOUSEMOVE) {
        // Automatic hints: the control under the mouse names its hint.
        std::string hint;
        if (msg.hwnd == ErrorLB) {
            hint = "DblClick to go to error";
        } else if (msg.hwnd == ToolBar1) {
            POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            int index = static_cast<int>(SendMessageA(ToolBar1, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
            TBBUTTON b = {};
            if (index >= 0 && SendMessageA(ToolBar1, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b)))
                if (TAction* a = ActionById(static_cast<UINT>(b.idCommand))) hint = a->hint;
        }
        SetHintText(hint);
    }
    if (accel_.Get() && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)))
        return TranslateAcceleratorA(hwnd_, accel_.Get(), &msg) != 0;
    return false;
}

LRESULT TQPadF::OnNotify(NMHDR* header) {
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        static std::string tip;
        TAction* a = ActionById(static_cast<UINT>(header->idFrom));
        tip = a ? ShortHint(a->hint) : "";
        info->lpszText = const_cast<char*>(tip.c_str());
        return 0;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        TAction* a = ActionById(static_cast<UINT>(header->idFrom));
        std::string tip = a ? ShortHint(a->hint) : "";
        MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, 80);
        info->lpszText = info->szText;
        return 0;
    }
    // The list headers have one fixed section each.
    if ((header->hwndFrom == ErrorHC || header->hwndFrom == CompillerHC) &&
        (header->code == HDN_BEGINTRACKA || header->code == HDN_BEGINTRACKW))
        return TRUE;
    return 0;
}

LRESULT CALLBACK TQPadF::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TQPadF* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TQPadF*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<TQPadF*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    // No failure may unwind into the system's code: every one ends here.
    try {
        return self->HandleMessage(msg, wParam, lParam);
    } catch (const EAbort&) {
    } catch (...) {
        self->HandleCurrentFailure();
    }
    return 0;
}

LRESULT TQPadF::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) return 0;
        // Taken out of maximized by the window manager just after being shown again.
        if (wParam == SIZE_RESTORED && RestoringPlacement() && placement_.showCmd == SW_SHOWMAXIMIZED)
            PostMessageA(hwnd_, WM_RESTOREPLACEMENT, 0, 0);
        Layout();
        // Every pane, as a whole: a grown window otherwise leaves parts of the
        // moved children unpainted (seen under Wine when maximizing).
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_SHOWWINDOW:
        // Hidden with the application window (minimized), the window may come
        // back from the window manager moved and no longer maximized (it is
        // under Wine): its placement is put back once it is shown again. Wine
        // tells an owned window of its owner's minimizing and restoring this way
        // too, besides FollowApplication: the second putting back is needed there.
        if (!wParam && lParam == SW_PARENTCLOSING)
            SavePlacement();
        else if (wParam && lParam == SW_PARENTOPENING)
            RestorePlacementSoon();
        break;
    case WM_RESTOREPLACEMENT:
        if (RestoringPlacement() && IsWindowVisible(hwnd_)) SetWindowPlacement(hwnd_, &placement_);
        return 0;
    case WM_COMMAND: {
        // Menus and accelerators send no window, the tool bar sends its own:
        // either way the id names the action. Controls send notifications.
        const HWND from = reinterpret_cast<HWND>(lParam);
        if (!from || from == ToolBar1) {
            OnCommand(LOWORD(wParam));
            return 0;
        }
        if (SourceEdit && from == SourceEdit->Handle()) {
            SourceEdit->HandleParentMessage(msg, wParam, lParam);
            return 0;
        }
        if (OnListNotify(from, HIWORD(wParam))) return 0;
        break;
    }
    case WM_NOTIFY:
        if (SourceEdit && SourceEdit->HandleParentMessage(msg, wParam, lParam)) return 0;
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        Idle();
        return 0;
    case WM_APPLYSETTINGS:
        ApplyEditorSettings();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SYSCOMMAND:
        // Minimising goes through the application window, which carries the
        // task-bar button; the system hides its owned windows with it.
        if ((wParam & 0xFFF0) == SC_MINIMIZE && ApplicationWindow()) {
            ShowWindow(ApplicationWindow(), SW_MINIMIZE);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        // The program-wide cursor (the hourglass of a compile) over every child too.
        if (ScreenCursor()) {
            SetCursor(ScreenCursor());
            return TRUE;
        }
        break;
    case WM_SETFOCUS:
        if (SourceEdit) SourceEdit->SetFocus();
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam) clipboardSequence_ = 0;
        break;
    case WM_CLOSE:
        RequestClose();
        return 0;
    case WM_QUERYENDSESSION: {
        // Windows is shutting down: the same question as closing, and a No vote
        // while the user's changes are still unsaved or a command is under way.
        if (commandDepth_ > 0 || closing_) return FALSE;
        bool canClose = true;
        FormCloseQuery(canClose);
        return canClose ? TRUE : FALSE;
    }
    case WM_DESTROY:
        FormDestroy();
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

bool TQPadF::RestoringPlacement() {
    if (placementSaved_ && static_cast<int>(GetTickCount() - restoreUntil_) > 0) placementSaved_ = false;
    return placementSaved_;
}

void TQPadF::SavePlacement() {
    placement_.length = sizeof placement_;
    placementSaved_ = GetWindowPlacement(hwnd_, &placement_) != 0;
}

void TQPadF::RestorePlacementSoon() {
    if (!placementSaved_) return;
    restoreUntil_ = GetTickCount() + 2000;  // the window manager's answer comes within
    PostMessageA(hwnd_, WM_RESTOREPLACEMENT, 0, 0);
}

// The system hides only pop-up windows with their minimized owner, and a window
// manager's minimize button may have taken this one off the screen by itself:
// it is hidden and shown here, so that restoring the task-bar button brings it back.
void TQPadF::FollowApplication(bool minimized) {
    if (!hwnd_) return;
    if (minimized) {
        if (hiddenWithApplication_) return;
        // Not yet shown at all when the program starts minimized.
        if (IsWindowVisible(hwnd_)) SavePlacement();
        hiddenWithApplication_ = true;
        ShowWindow(hwnd_, SW_HIDE);
    } else if (hiddenWithApplication_) {
        hiddenWithApplication_ = false;
        // Shown active, as a window manager gives the keyboard only to a window
        // that asks as it comes; a modal dialog it waits for gets the activation
        // from the application window instead.
        ShowWindow(hwnd_, IsWindowEnabled(hwnd_) ? SW_SHOW : SW_SHOWNA);
        RestorePlacementSoon();
    }
}

// A command may let messages through while it runs (its status texts, a tool's
// wait, a dialog), and a close that arrives then would destroy the editor under
// it: the close waits for the command's end. A second close while the first one
// is asking about unsaved changes is the same request and is dropped.
void TQPadF::RequestClose() {
    if (closing_) return;
    if (commandDepth_ > 0) {
        closePending_ = true;
        return;
    }
    closing_ = true;
    bool canClose = true;
    FormCloseQuery(canClose);
    closing_ = false;
    if (canClose) DestroyWindow(hwnd_);
}

void TQPadF::HandleCurrentFailure(HWND owner) {
    try {
        throw;
    } catch (const std::exception& e) {
        AppException(e, owner);
    } catch (...) {
        AppException(Exception("Unexpected failure"), owner);
    }
}

void TQPadF::AppException(const std::exception& e, HWND owner) {
    FailureBox box = FailureBoxFor(e, OptionsF ? OptionsF->JavaSdkDir() : std::string());
    Prompts().Message(owner ? owner : hwnd_, box.text, box.caption, MB_OK | MB_ICONERROR);
}

void TQPadF::SetFileName(const std::string& name) {
    FileName = name;
    SetWindowTextA(hwnd_, CaptionFor(FileName).c_str());
    if (OptionsF) OptionsF->SetSourceFile(name);
}

void TQPadF::ShowStatus(const std::string& text) {
    SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text.c_str()));
    ProcessMessages();
}

void TQPadF::ToolMessage(void*, const std::string& msg) { ShowStatus(msg); }

void TQPadF::RichEditChange() {
    SendMessageA(CompillerLB, LB_RESETCONTENT, 0, 0);
    codeStates_.TextChanged(SourceEdit->Modified());
    ApplyCodeStates();
}

void TQPadF::RichEditSelectionChange() {
    int start = SourceEdit->SelStart();
    int line = SourceEdit->LineFromChar(start);
    int lineStart = SourceEdit->LineIndex(line);
    std::string text = CaretText(start, line, lineStart);
    SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::ResetEditorState(const std::string& text) {
    SendMessageA(ErrorLB, LB_RESETCONTENT, 0, 0);
    SourceEdit->SetModified(true);
    RichEditChange();
    RichEditSelectionChange();
    SourceEdit->SetModified(false);
    codeStates_.Reset(::IsAppletSource(text));
    ApplyCodeStates();
}

void TQPadF::ApplyEditorSettings() {
    if (!OptionsF) return;
    SourceEdit->SetEditorFont(OptionsF->EditorFont());
    if (SourceEdit->AutoIndent() != OptionsF->AutoIndent()) SourceEdit->SetAutoIndent(OptionsF->AutoIndent());
    if (SourceEdit->SmartTabs() != OptionsF->SmartTabs()) SourceEdit->SetSmartTabs(OptionsF->SmartTabs());
    SourceEdit->SetColouring(OptionsF->Colouring());
}

bool TQPadF::IsAppletSource() const {
    std::string text;
    Utf16ToUtf8(SourceEdit->WideText(), text);  // the words it looks for are ASCII
    return ::IsAppletSource(text);
}
