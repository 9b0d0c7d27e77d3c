#include "QPadU.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <utility>

#include "About.h"
#include "ControlsWin32.h"
#include "FindU.h"
#include "GoToLineU.h"
#include "LateBoundWin32.h"
#include "LauncherWin32.h"
#include "OptionsU.h"
#include "Prompts.h"
#include "ReplaceU.h"
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
    static const ScopedIcon big(CreateAppIcon(GetSystemMetrics(SM_CXICON))), small(CreateAppIcon(16));
    RegisterWindowClassOnce(instance, kMainClass, WndProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), big.Get(),
                            small.Get());
}

TQPadF::TQPadF()
    : recentFiles_([](const std::vector<std::string>& files) {
          if (OptionsF) OptionsF->SaveRecentFiles(files);
      }),
      launcher_(WindowsLauncher()) {
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
                            rc.right - rc.left, rc.bottom - rc.top, ApplicationWindow(), mainMenu1_, instance, this);
    if (!hwnd_) throw Exception("Cannot create the main window");

    CreateToolBar();
    CreatePanes();
    FormCreate();
}

namespace {

// The global that points to a dialog goes with the dialog.
template <class Form>
void DestroyForm(std::unique_ptr<Form>& form, Form*& global) {
    if (global == form.get()) global = nullptr;
    form.reset();
}

}  // namespace

void TQPadF::DestroySearchDialogs() {
    DestroyForm(findF_, FindF);
    DestroyForm(replaceF_, ReplaceF);
    DestroyForm(goToLineF_, GoToLineF);
}

TQPadF::~TQPadF() {
    DestroySearchDialogs();
    DestroyForm(aboutBox_, AboutBox);
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (failureWindow == this) failureWindow = nullptr;
    if (QPadF == this) QPadF = nullptr;
}

void TQPadF::FormCreate() {
    sourceEdit_ = std::make_unique<TRichEditQX>(panes_.RichEditP);
    Layout();
    sourceEdit_->OnChange = [this] { RichEditChange(); };
    sourceEdit_->OnSelectionChange = [this] { RichEditSelectionChange(); };
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
    if (showCommand != SW_HIDE) sourceEdit_->SetFocus();
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
    if (OptionsF && fileName_ == kUntitledName && !sourceEdit_->Modified()) {
        OptionsF->SetSourceFile(fileName_);
        sourceEdit_->SetForm(NewFileForm());
        ShowSourceForm();
    }
}

void TQPadF::FormCloseQuery(bool& canClose) {
    try {
        CheckSaveChanges();
    } catch (const EAbort&) {
        canClose = false;  // Cancel, or a save that was not made: stay open
    } catch (...) {
        // A failed save: stay open, and say why as Save does, or the user never
        // learns that the work is still unsaved (at log-off least of all).
        canClose = false;
        HandleCurrentFailure();
    }
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

std::string TQPadF::PanelText(int panel) const {
    int length = LOWORD(SendMessageA(panes_.StatusBar, SB_GETTEXTLENGTHA, panel, 0));
    std::string text(length + 1, '\0');
    SendMessageA(panes_.StatusBar, SB_GETTEXTA, panel, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

void TQPadF::SetHintText(const std::string& hint) {
    std::string text = LongHint(hint);
    if (text == lastHint_) return;
    lastHint_ = text;
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TQPadF::PreTranslate(MSG& msg) {
    // The program-wide cursor over every window of the program: the editor and
    // the splitters choose their own cursors, before the mouse move is queued.
    if (ScreenCursor() && (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE))
        SetCursor(ScreenCursor());
    if (msg.message == WM_MOUSEMOVE) {
        // Automatic hints: the control under the mouse names its hint.
        std::string hint;
        if (msg.hwnd == panes_.ErrorLB) {
            hint = "DblClick to go to error";
        } else if (msg.hwnd == panes_.ToolBar1) {
            POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            int index = static_cast<int>(SendMessageA(panes_.ToolBar1, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
            TBBUTTON b = {};
            if (index >= 0 && SendMessageA(panes_.ToolBar1, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&b)))
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
    if ((header->hwndFrom == panes_.ErrorHC || header->hwndFrom == panes_.CompillerHC) &&
        (header->code == HDN_BEGINTRACKA || header->code == HDN_BEGINTRACKW))
        return TRUE;
    return 0;
}

LRESULT CALLBACK TQPadF::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TQPadF* self = WindowObject<TQPadF>(hwnd, msg, lParam);
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
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
        if (wParam != SIZE_MINIMIZED) OnSize(wParam);
        return 0;
    case WM_SHOWWINDOW:
        placement_.ShowWindowChanged(hwnd_, wParam != 0, lParam);
        break;
    case WM_RESTOREPLACEMENT:
        placement_.PutBack(hwnd_);
        return 0;
    case WM_COMMAND:
        if (OnCommandMessage(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY:
        if (sourceEdit_ && sourceEdit_->HandleParentMessage(msg, wParam, lParam)) return 0;
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
        if (OnSysCommand(wParam)) return 0;
        break;
    case WM_SETCURSOR:
        if (OnSetCursor()) return TRUE;
        break;
    case WM_SETFOCUS:
        if (sourceEdit_) sourceEdit_->SetFocus();
        return 0;
    case WM_ACTIVATEAPP:
        if (wParam) {
            clipboardSequence_ = 0;
            // Another program may have changed the file meanwhile; asked once
            // the activation is over.
            PostMessageA(hwnd_, WM_CHECKFILE, 0, 0);
        }
        break;
    case WM_CHECKFILE:
        CheckFileWhenFree();
        return 0;
    case WM_ENABLE:  // a modal box has gone: a look held back for it is due
        if (wParam && fileCheckPending_) PostMessageA(hwnd_, WM_CHECKFILE, 0, 0);
        break;
    case WM_ACTIVATE:  // the window is back in front
        if (LOWORD(wParam) != WA_INACTIVE && fileCheckPending_) PostMessageA(hwnd_, WM_CHECKFILE, 0, 0);
        break;
    case WM_CLOSE:
        RequestClose();
        return 0;
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        break;
    }
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

void TQPadF::OnSize(WPARAM type) {
    placement_.Resized(hwnd_, type);
    Layout();
    // Every pane, as a whole: a grown window otherwise leaves parts of the
    // moved children unpainted (seen under Wine when maximizing).
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Menus and accelerators send no window, the tool bar sends its own: either way
// the id names the action. Controls send notifications.
bool TQPadF::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const HWND from = reinterpret_cast<HWND>(lParam);
    if (!from || from == panes_.ToolBar1) {
        OnCommand(LOWORD(wParam));
        return true;
    }
    if (sourceEdit_ && from == sourceEdit_->Handle()) {
        sourceEdit_->HandleParentMessage(WM_COMMAND, wParam, lParam);
        return true;
    }
    return OnListNotify(from, HIWORD(wParam));
}

// Minimising goes through the application window, which carries the task-bar
// button; the system hides its owned windows with it.
bool TQPadF::OnSysCommand(WPARAM command) {
    if ((command & 0xFFF0) != SC_MINIMIZE || !ApplicationWindow()) return false;
    ShowWindow(ApplicationWindow(), SW_MINIMIZE);
    return true;
}

// The program-wide cursor (the hourglass of a compile) over every child too.
bool TQPadF::OnSetCursor() {
    if (!ScreenCursor()) return false;
    SetCursor(ScreenCursor());
    return true;
}

// Windows is shutting down: the same question as closing, and a No vote while
// the user's changes are still unsaved or a command is under way.
BOOL TQPadF::OnQueryEndSession() {
    if (commandDepth_ > 0 || closing_) return FALSE;
    bool canClose = true;
    FormCloseQuery(canClose);
    return canClose ? TRUE : FALSE;
}

void TQPadF::OnDestroy() {
    sourceEdit_.reset();
    PostQuitMessage(0);
}

void TQPadF::FollowApplication(bool minimized) {
    if (hwnd_) placement_.FollowApplication(hwnd_, minimized);
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
    if (canClose)
        DestroyWindow(hwnd_);
    else if (fileCheckPending_)
        PostMessageA(hwnd_, WM_CHECKFILE, 0, 0);
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
    fileName_ = name;
    SetWindowTextA(hwnd_, CaptionFor(fileName_).c_str());
    if (OptionsF) OptionsF->SetSourceFile(name);
}

void TQPadF::ShowStatus(const std::string& text) {
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text.c_str()));
    ProcessMessages();
}

void TQPadF::ToolMessage(void*, const std::string& msg) { ShowStatus(msg); }

void TQPadF::RichEditChange() {
    SendMessageA(panes_.CompillerLB, LB_RESETCONTENT, 0, 0);
    codeStates_.TextChanged(sourceEdit_->Modified());
    ApplyCodeStates();
}

void TQPadF::RichEditSelectionChange() {
    int start = sourceEdit_->SelStart();
    int line = sourceEdit_->LineFromChar(start);
    int lineStart = sourceEdit_->LineIndex(line);
    std::string text = CaretText(start, line, lineStart);
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::ResetEditorState(const std::string& text) {
    SendMessageA(panes_.ErrorLB, LB_RESETCONTENT, 0, 0);
    sourceEdit_->SetModified(true);
    RichEditChange();
    RichEditSelectionChange();
    sourceEdit_->SetModified(false);
    codeStates_.Reset(::IsAppletSource(text));
    ApplyCodeStates();
}

void TQPadF::ApplyEditorSettings() {
    if (!OptionsF) return;
    sourceEdit_->SetEditorFont(OptionsF->EditorFont());
    if (sourceEdit_->AutoIndent() != OptionsF->AutoIndent()) sourceEdit_->SetAutoIndent(OptionsF->AutoIndent());
    if (sourceEdit_->SmartTabs() != OptionsF->SmartTabs()) sourceEdit_->SetSmartTabs(OptionsF->SmartTabs());
    sourceEdit_->SetColouring(OptionsF->Colouring());
}

bool TQPadF::IsAppletSource() const {
    std::string text;
    Utf16ToUtf8(sourceEdit_->WideText(), text);  // the words it looks for are ASCII
    return ::IsAppletSource(text);
}
