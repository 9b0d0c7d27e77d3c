// The options dialog's frame: its window, the page tabs, the bottom bar with
// OK and Cancel, and the modal loop. Each page is made in a file of its own.
#include "OptionsU.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <type_traits>
#include <vector>

#include "ControlsWin32.h"
#include "FilesWin32.h"
#include "OptionsDialogWin32.h"
#include "Prompts.h"
#include "QpErrors.h"
#include "QpMessages.h"
#include "ScopedWin32.h"

using namespace options_dialog;

TOptionsF* OptionsF = nullptr;

namespace {

const COLORREF kMaroon = RGB(128, 0, 0);

const char* const kPageCaptions[] = {"Java SDK", "Editor", "HTML Template", "Project"};

// The containers of the pages and of the bottom bar: their children's
// notifications go to the dialog, so one procedure sees them all.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Made for the dialog's window (its handle is the creation parameter).
    HWND dialog = WindowObject<std::remove_pointer_t<HWND>>(hwnd, msg, lParam);
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        if (!dialog) break;
        LRESULT result = SendMessageA(dialog, msg, wParam, lParam);
        if (result || msg == WM_COMMAND || msg == WM_NOTIFY) return result;
        break;
    }
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterPanelClass(HINSTANCE instance) {
    RegisterWindowClassOnce(instance, kPanelClass, PanelProc, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

// The dialog's template: a caption and nothing else; the controls are made in code.
std::vector<WORD> DialogTemplate(DWORD style) {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* t = reinterpret_cast<DLGTEMPLATE*>(words.data());
    t->style = style;
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    for (const char* c = "Options"; *c; ++c) words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

bool IsMultiLineEdit(HWND hwnd) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return _stricmp(cls, "Edit") == 0 && (GetWindowLongA(hwnd, GWL_STYLE) & ES_MULTILINE);
}

bool IsPushButton(HWND hwnd) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (_stricmp(cls, "Button") != 0) return false;
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

template <class Fn>
void TOptionsF::Guarded(Fn fn) {
    try {
        fn();
    } catch (const EAbort&) {
    } catch (...) {
        if (onFailure_) {
            onFailure_(std::current_exception());
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            Prompts().Message(hwnd_, e.what(), "Error", MB_OK | MB_ICONERROR);
        }
    }
}

TOptionsF::TOptionsF(HWND owner, Window window) : TOptionsStore(WindowsProfile()), owner_(owner) {
    // FontD starts as Courier New, 13 pixels (10 points at 96 dpi), East European.
    fontD_.logFont.lfHeight = -13;
    fontD_.logFont.lfWeight = FW_NORMAL;
    fontD_.logFont.lfCharSet = EASTEUROPE_CHARSET;
    lstrcpynA(fontD_.logFont.lfFaceName, "Courier New", LF_FACESIZE);
    fontD_.color = GetSysColor(COLOR_WINDOWTEXT);
    fontD_.flags = CF_SCREENFONTS | CF_EFFECTS;
    openD_.filter = "All files|*.*|HTML |*.html; *.htm";
    openD_.flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;

    if (window == Window::Now) CreateDialogWindow();
    Create();
}

void TOptionsF::CreateDialogWindow() {
    if (hwnd_) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    LoadLibraryA("RICHED32.DLL");  // the preview's window class; kept for the program's life
    RegisterPanelClass(instance);

    const DWORD style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    std::vector<WORD> tmpl = DialogTemplate(style);
    hwnd_ = CreateDialogIndirectParamA(instance, reinterpret_cast<DLGTEMPLATE*>(tmpl.data()),
                                       owner_, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) throw Exception("Cannot create the options dialog");
    RECT r = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CreateControls();
    // The settings as the store holds them: its defaults, or what was loaded
    // before the dialog was first needed.
    ShowSettings();
    SetWindowTextA(PrjOptIniE, projectFileShown_.c_str());
    EditorFontChange();
    SetActivePage(0);
}

TOptionsF::~TOptionsF() {
    // FormDestroy: the window and what it drew with.
    // The window goes first: the fonts, pictures and brush it drew with are
    // members, freed after it.
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (OptionsF == this) OptionsF = nullptr;
}

std::string TOptionsF::SettingsFileName() { return ProgramFolder() + "qp.ini"; }

HWND TOptionsF::Control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                        int w, int h, DWORD exStyle, int id) {
    HWND hwnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr),
                                _stricmp(cls, kPanelClass) == 0 ? hwnd_ : nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont_), FALSE);
    return hwnd;
}

HWND TOptionsF::NoteLabel(HWND parent, int x, int y) {
    return Control(parent, "Static", "NOTE:", 0, x, y, 60, 14, 0, kNoteLabelId);
}

void TOptionsF::CreateControls() {
    guiFont_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf = {};
    GetObjectA(guiFont_, sizeof lf, &lf);
    lf.lfWeight = FW_BOLD;
    boldFont_.Reset(CreateFontIndirectA(&lf));
    LOGFONTA courier = {};
    courier.lfHeight = -MulDiv(10, ScreenDpi(), 72);
    courier.lfWeight = FW_NORMAL;
    courier.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(courier.lfFaceName, "Courier New", LF_FACESIZE);
    templateFont_.Reset(CreateFontIndirectA(&courier));
    folderIcon_.Reset(LoadPicture(IDI_OPTIONS_FOLDER));
    faceBrush_.Reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));

    // Creation order is the Tab order: the page being shown, then Cancel and OK,
    // then the page tabs themselves (the lowest window, so the pages cover it).
    const int pageBottom = kClientHeight - kBottomBarHeight;
    RECT page = {0, 0, kClientWidth, pageBottom};
    const DWORD panel = WS_CLIPSIBLINGS;
    HWND* pages[] = {&JavaSdkTS, &EditorTS, &HTMLTemplTS, &ProjectTS};
    for (HWND* p : pages)
        *p = Control(hwnd_, kPanelClass, "", panel, 0, 0, 0, 0, WS_EX_CONTROLPARENT);

    CreateJavaSdkPage();
    CreateEditorPage();
    CreateHtmlTemplatePage();
    CreateProjectPage();

    CreateBottomBar();

    OptionsPC = Control(hwnd_, WC_TABCONTROLA, "", WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, kClientWidth,
                        pageBottom);
    for (int i = 0; i < 4; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageCaptions[i]);
        SendMessageA(OptionsPC, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(OptionsPC, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    for (HWND* p : pages) {
        MoveWindow(*p, page.left, page.top, page.right - page.left, page.bottom - page.top, FALSE);
        ShowWindow(*p, SW_HIDE);
    }
}

// The bottom bar, Cancel then OK on its right.
void TOptionsF::CreateBottomBar() {
    Panel1 = Control(hwnd_, kPanelClass, "", WS_CLIPSIBLINGS, 0, kClientHeight - kBottomBarHeight, kClientWidth,
                     kBottomBarHeight, WS_EX_CONTROLPARENT);
    Panel2 = Control(Panel1, kPanelClass, "", 0, kClientWidth - 172, 0, 172, kBottomBarHeight,
                     WS_EX_CONTROLPARENT);
    CancelBB = Control(Panel2, "Button", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 8, 2, 75, 25, 0, IDCANCEL);
    OkBB = Control(Panel2, "Button", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 91, 2, 75, 25, 0, IDOK);
    AddPicture(CancelBB, IDI_OPTIONS_CANCEL);
    AddPicture(OkBB, IDI_OPTIONS_OK);
}

HWND TOptionsF::Page(int index) const {
    const HWND pages[] = {JavaSdkTS, EditorTS, HTMLTemplTS, ProjectTS};
    return index >= 0 && index < 4 ? pages[index] : nullptr;
}

int TOptionsF::ActivePage() const {
    return static_cast<int>(SendMessageA(OptionsPC, TCM_GETCURSEL, 0, 0));
}

void TOptionsF::SetActivePage(int index) {
    HWND focus = GetFocus();
    HWND oldPage = Page(ActivePage());
    SendMessageA(OptionsPC, TCM_SETCURSEL, index, 0);
    for (int i = 0; i < 4; ++i) ShowWindow(Page(i), i == index ? SW_SHOW : SW_HIDE);
    // The focus must not stay on a control that is no longer seen.
    if (oldPage && oldPage != Page(index) && IsChild(oldPage, focus)) {
        HWND first = GetNextDlgTabItem(Page(index), nullptr, FALSE);
        SetFocus(first && IsChild(Page(index), first) ? first : OptionsPC);
    }
}

void TOptionsF::ReportJavaSdkError(const std::string& text) {
    Prompts().Message(showing_ ? hwnd_ : GetActiveWindow(), text, "Error", MB_OK | MB_ICONERROR);
}

int TOptionsF::ShowModal(HWND owner, FailureHandler onFailure) {
    CreateDialogWindow();
    owner_ = owner;
    onFailure_ = std::move(onFailure);
    if (GetWindow(hwnd_, GW_OWNER) != owner)
        SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    // Centred over the owner, or the screen.
    RECT wr, area;
    GetWindowRect(hwnd_, &wr);
    if (!owner || !GetWindowRect(owner, &area)) SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = wr.right - wr.left, h = wr.bottom - wr.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (owner) EnableWindow(owner, FALSE);
    modalResult_ = 0;
    closed_ = false;
    showing_ = true;
    sdkDirShown_ = JavaSdkDir();
    ShowWindow(hwnd_, SW_SHOW);
    // Foreground, not just active: the keyboard must come here, not stay with the owner.
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    HWND first = GetNextDlgTabItem(Page(ActivePage()), nullptr, FALSE);
    SetFocus(first && IsChild(Page(ActivePage()), first) ? first : OkBB);

    while (!closed_) {
        MSG msg;
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            // The program is ending: leave as by Cancel, and the quit for the main loop.
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            modalResult_ = IDCANCEL;
            bool canClose = true;
            FormCloseQuery(canClose);
            break;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // The owner comes back before the dialog goes, so the activation returns to it.
    if (owner && ownerWasEnabled) EnableWindow(owner, TRUE);
    ShowWindow(hwnd_, SW_HIDE);
    if (owner) SetActiveWindow(owner);
    showing_ = false;
    onFailure_ = nullptr;
    return modalResult_;
}

bool TOptionsF::PreTranslate(MSG& msg) {
    if (!msg.hwnd || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
    if (msg.message != WM_KEYDOWN) return IsDialogMessageA(hwnd_, &msg);
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    // Enter and Esc in the open list of JDKs pick or close it, as in any drop-down list.
    if ((msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) && SendMessageA(JdkListCB, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    switch (msg.wParam) {
    case VK_TAB:
        if (!ctrl) break;
        SetActivePage((ActivePage() + (GetKeyState(VK_SHIFT) < 0 ? 3 : 1)) % 4);
        return true;
    case VK_ESCAPE:
        SendMessageA(CancelBB, BM_CLICK, 0, 0);
        return true;
    case VK_RETURN:
        if (IsMultiLineEdit(msg.hwnd)) return false;  // a new line in the template
        SendMessageA(IsPushButton(msg.hwnd) ? msg.hwnd : OkBB, BM_CLICK, 0, 0);
        return true;
    }
    return IsDialogMessageA(hwnd_, &msg);
}

INT_PTR CALLBACK TOptionsF::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        reinterpret_cast<TOptionsF*>(lParam)->hwnd_ = hwnd;
        return FALSE;
    }
    auto* self = reinterpret_cast<TOptionsF*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    return self ? self->HandleMessage(msg, wParam, lParam) : FALSE;
}

INT_PTR TOptionsF::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == OptionsPC && header->code == TCN_SELCHANGE)
            SetActivePage(ActivePage());
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), false);
    case WM_CTLCOLOREDIT:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), true);
    case DM_GETDEFID:
        SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, MAKELONG(IDOK, DC_HASDEFID));
        return TRUE;
    case WM_CLOSE:
        // The window's close button: as Cancel.
        modalResult_ = IDCANCEL;
        Close();
        return TRUE;
    }
    return FALSE;
}

INT_PTR TOptionsF::OnControlColor(HDC dc, HWND control, bool edit) {
    bool note = GetDlgCtrlID(control) == kNoteLabelId;
    // Read-only fields (they ask as static controls) and the second note box
    // have the button face; the notes' headings are maroon.
    if (!note && (edit ? control != Memo2 : !(GetWindowLongA(control, GWL_STYLE) & ES_READONLY)))
        return FALSE;
    if (note) SetTextColor(dc, kMaroon);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(faceBrush_.Get());
}

void TOptionsF::OnCommand(HWND control, UINT id, UINT code) {
    if (!control) {
        // From the dialog manager, without a control.
        if (id == IDCANCEL) control = CancelBB;
        else if (id == IDOK) control = OkBB;
        else return;
        code = BN_CLICKED;
    }
    if (code == EN_CHANGE || code == BN_CLICKED) ControlChanged(control);
    if (control == JdkListCB) Guarded([this, code] { JdkListCBCommand(code); });
    if (code != BN_CLICKED) return;
    if (control == JDirSB) Guarded([this] { JDirSBClick(); });
    else if (control == EdFontSB) Guarded([this] { EdFontSBClick(); });
    else if (control == SpeedButton1) Guarded([this] { SpeedButton1Click(); });
    else if (control == SaveOptBB) Guarded([this] { SaveOptBBClick(); });
    else if (control == OkBB) FormCloseBBClick();
    else if (control == CancelBB) {
        modalResult_ = IDCANCEL;
        Close();
    }
}

void TOptionsF::FormCloseBBClick() {
    modalResult_ = IDOK;
    Close();
}

// A folder typed into the field is checked as one picked would be (the tools'
// paths need its final backslash, which is added).
bool TOptionsF::AcceptTypedSdkDir() {
    std::string dir = JavaSdkDir();
    if (dir == sdkDirShown_) return true;
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    if (!CheckJavaSdkDir(dir)) return false;
    SetJavaSdkDir(dir);
    SetJavaSdkValid(true);
    sdkDirShown_ = dir;
    return true;
}

void TOptionsF::Close() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) closed_ = true;
}

void TOptionsF::FormCloseQuery(bool& canClose) {
    if (modalResult_ == IDOK && !AcceptTypedSdkDir()) {
        modalResult_ = 0;  // stays open, the message shown, to be mended or cancelled
        canClose = false;
        return;
    }
    if (modalResult_ == IDOK) {
        try {
            SaveOptions();
        } catch (...) {
            // Stays open with the result cleared: OK can be tried again, or Cancel re-reads.
            modalResult_ = 0;
            canClose = false;
            std::exception_ptr failure = std::current_exception();
            Guarded([failure] { std::rethrow_exception(failure); });
            return;
        }
        if (owner_) PostMessageA(owner_, WM_APPLYSETTINGS, 0, 0);
    } else {
        Guarded([this] { LoadOptions(); });
    }
}
