#include "OptionsU.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <commdlg.h>
#include <richedit.h>
#include <shlobj.h>

#include <vector>

#include "EditorFontWin32.h"
#include "FilesWin32.h"
#include "ScopedWin32.h"
#include "Prompts.h"
#include "QpErrors.h"
#include "QpMessages.h"
#include "QpText.h"

TOptionsF* OptionsF = nullptr;

namespace {

class WinProfile : public IProfile {
public:
    std::string ReadString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) override {
        // The API trims blanks off a default and cuts a long one, so the caller's
        // default is never handed to it: a key is missing only when two different
        // stand-ins both come back.
        std::string path = Resolve(file);
        std::string value;
        if (Read(path, section, key, kMissingA, value)) return value;
        if (Read(path, section, key, kMissingB, value)) return value;
        return def;
    }

    bool WriteString(const std::string& file, const std::string& section,
                     const std::string& key, const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                          EncodeProfileValue(value).c_str(),
                                          Resolve(file).c_str()) != 0;
    }

    bool FileExists(const std::string& path) override {
        return ::FileExists(path);
    }

private:
    static constexpr const char* kMissingA = "\x01qp-missing-a\x01";
    static constexpr const char* kMissingB = "\x02qp-missing-b\x02";

    static std::string Resolve(const std::string& file) {
        return ResolveBareFileName(file, CurrentFolder());
    }

    // False when the stand-in came back.
    static bool Read(const std::string& path, const std::string& section, const std::string& key,
                     const char* missing, std::string& value) {
        // Room beyond what is kept: the service drops the quotes a value was
        // written with only when it has read the whole value.
        std::vector<char> buf(2 * kMaxProfileText + 2, '\0');
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), missing, buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
        if (n >= buf.size()) n = static_cast<DWORD>(buf.size() - 1);
        value = CutProfileText(std::string(buf.data(), n));
        return value != missing;
    }
};

}  // namespace

IProfile& WindowsProfile() {
    static WinProfile profile;
    return profile;
}

namespace {

const char kPanelClass[] = "QpOptionsPanel";
const int kClientWidth = 626, kClientHeight = 337;
const int kBottomBarHeight = 29;
const COLORREF kMaroon = RGB(128, 0, 0);
const int kNoteLabelId = 0x7001;  // the maroon "NOTE:" labels

const char* const kPageCaptions[] = {"Java SDK", "Editor", "HTML Template", "Project"};

const char kMemo1Text[] =
    "%j , %c and %h  are reuired in the compiler and interpreter \r\n"
    "commands.\r\n"
    "\r\n"
    "%j is replaced with editor file name\r\n"
    "%c is replaced with class name\r\n"
    "%h is replaced with HTML file name";
const char kMemo2Text[] = "%c is required and will be \r\nreplaced with class file name";
const char kPreviewText[] =
    "/**\r\n"
    " * Hello: the smallest program there is.\r\n"
    " */\r\n"
    "public class Hello {\r\n"
    "    public static void main(String[] args) {\r\n"
    "        System.out.println(\"Hello, world!\");\r\n"
    "    }\r\n"
    "}\r\n";

// The containers of the pages and of the bottom bar: their children's
// notifications go to the dialog, so one procedure sees them all.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        break;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        HWND dialog = reinterpret_cast<HWND>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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

// The picture of the two browse buttons: a small folder on the button face.
// The buttons' pictures, 16 x 16, a character a pixel: '.' lets the button face
// show, the others are colours.
const char* const kFolderPicture[16] = {
    "................", "................",
    "..ooooo.........", "..ooooo.........",
    ".oooooooooooooo.", ".oyyyyyyyyyyyyo.",
    ".oyyyyyyyyyyyyo.", ".oyyyyyyyyyyyyo.",
    ".oyyyyyyyyyyyyo.", ".oyyyyyyyyyyyyo.",
    ".oyyyyyyyyyyyyo.", ".oyyyyyyyyyyyyo.",
    ".oyyyyyyyyyyyyo.", ".oooooooooooooo.",
    "................", "................",
};
const char* const kOkPicture[16] = {
    "................", "................",
    "..............g.", ".............gg.",
    "............ggg.", "...........ggg..",
    "..g.......ggg...", "..gg.....ggg....",
    "..ggg...ggg.....", "...ggg.ggg......",
    "....ggggg.......", ".....ggg........",
    "......g.........", "................",
    "................", "................",
};
const char* const kCancelPicture[16] = {
    "................", "................",
    "..rr........rr..", "..rrr......rrr..",
    "...rrr....rrr...", "....rrr..rrr....",
    ".....rrrrrr.....", "......rrrr......",
    "......rrrr......", ".....rrrrrr.....",
    "....rrr..rrr....", "...rrr....rrr...",
    "..rrr......rrr..", "..rr........rr..",
    "................", "................",
};
const char* const kSavePicture[16] = {
    ".kkkkkkkkkkkkkk.", ".kbwwwwwwwwwwbk.",
    ".kbwwwwwwwwwwbk.", ".kbwddddddddwbk.",
    ".kbwwwwwwwwwwbk.", ".kbwddddddddwbk.",
    ".kbwwwwwwwwwwbk.", ".kbbbbbbbbbbbbk.",
    ".kbbbbbbbbbbbbk.", ".kbbddddddddbbk.",
    ".kbbdddddkkdbbk.", ".kbbdddddkkdbbk.",
    ".kbbdddddkkdbbk.", ".kbbddddddddbbk.",
    ".kkkkkkkkkkkkkk.", "................",
};
const char* const kFontPicture[16] = {
    "................", "......kk........",
    "......kk........", ".....kkkk.......",
    ".....k..k.......", "....kk..kk......",
    "....k....k......", "...kkkkkkkk.....",
    "...k......k.....", "..kk......kk....",
    "..k........k....", ".kkk......kkk...",
    "................", ".bbbbbbbbbbbbbb.",
    "................", "................",
};

COLORREF PictureColor(char c) {
    switch (c) {
    case 'g': return RGB(0, 128, 0);
    case 'r': return RGB(192, 0, 0);
    case 'b': return RGB(0, 0, 160);
    case 'w': return RGB(255, 255, 255);
    case 'd': return RGB(128, 128, 128);
    case 'y': return RGB(255, 214, 90);
    case 'o': return RGB(128, 96, 0);
    default: return RGB(0, 0, 0);
    }
}

HICON PictureIcon(const char* const rows[16]) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP color = CreateCompatibleBitmap(screen, 16, 16);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, mask);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) SetPixel(dc, x, y, rows[y][x] == '.' ? RGB(255, 255, 255) : RGB(0, 0, 0));
    SelectObject(dc, color);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) SetPixel(dc, x, y, rows[y][x] == '.' ? RGB(0, 0, 0) : PictureColor(rows[y][x]));
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = color;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
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
    // The settings as the store holds them (its defaults, or what was loaded
    // before the dialog was first needed) go into the controls, which hold
    // them from now on.
    const std::string javaSdkDir = TOptionsStore::JavaSdkDir(), compiler = TOptionsStore::CompillerCommand(),
                      interpreter = TOptionsStore::InterpreterCommand(),
                      appletViewer = TOptionsStore::AppletViewerCommand(),
                      appCommandLine = TOptionsStore::AppCommandLine(),
                      appletHtmlFile = TOptionsStore::AppletHtmlFile();
    const bool autoIndent = TOptionsStore::AutoIndent(), smartTabs = TOptionsStore::SmartTabs();
    CreateControls();
    SetJavaSdkDir(javaSdkDir);
    SetCompillerCommand(compiler);
    SetInterpreterCommand(interpreter);
    SetAppletViewerCommand(appletViewer);
    SetAutoIndent(autoIndent);
    SetSmartTabs(smartTabs);
    SetText(HtmlTempM, TOptionsStore::HtmlTemplate());
    SetAppCommandLine(appCommandLine);
    SetAppletHtmlFile(appletHtmlFile);
    SetText(PrjOptIniE, projectFileShown_);
    EditorFontChange();
    SetActivePage(0);
}

TOptionsF::~TOptionsF() {
    // FormDestroy: the window and what it drew with.
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    for (HFONT f : {boldFont_, templateFont_})
        if (f) DeleteObject(f);
    if (folderIcon_) DestroyIcon(folderIcon_);
    for (HICON icon : pictures_) DestroyIcon(icon);
    if (faceBrush_) DeleteObject(faceBrush_);
    if (OptionsF == this) OptionsF = nullptr;
}

std::string TOptionsF::SettingsFileName() { return ProgramFolder() + "qp.ini"; }

namespace {

// A click gives a push button the focus, and a focused push button is what Enter
// presses: the picture buttons hand the focus straight back, so Enter keeps
// meaning OK after one of them opened its picker.
LRESULT CALLBACK NoFocusButtonProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (msg == WM_SETFOCUS) {
        HWND previous = reinterpret_cast<HWND>(wParam);
        if (previous && previous != wnd && IsWindow(previous)) {
            SetFocus(previous);
            return 0;
        }
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(wnd, &NoFocusButtonProc, 1);
    }
    return DefSubclassProc(wnd, msg, wParam, lParam);
}

}  // namespace

// The picture sits at the left end of the button, over its face, in a picture
// control of its own that lets the clicks through to the button (the button
// keeps its text, its default state and its keyboard behaviour). The icons live
// as long as the dialog.
void TOptionsF::AddPicture(HWND button, const char* const picture[16]) {
    HICON icon = PictureIcon(picture);
    pictures_.push_back(icon);
    RECT rc;
    GetClientRect(button, &rc);
    SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | WS_CLIPCHILDREN);
    HWND shown = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_ICON, 5, (rc.bottom - 16) / 2, 16, 16,
                                 button, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(shown, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TOptionsF::KeepFocusAway(HWND button) { SetWindowSubclass(button, &NoFocusButtonProc, 1, 0); }

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
    boldFont_ = CreateFontIndirectA(&lf);
    HDC screen = GetDC(nullptr);
    LOGFONTA courier = {};
    courier.lfHeight = -MulDiv(10, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    courier.lfWeight = FW_NORMAL;
    courier.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(courier.lfFaceName, "Courier New", LF_FACESIZE);
    templateFont_ = CreateFontIndirectA(&courier);
    folderIcon_ = PictureIcon(kFolderPicture);
    faceBrush_ = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    // The two small picture buttons take no focus, as small tool buttons do.
    // Creation order is the Tab order: the page being shown, then Cancel and OK,
    // then the page tabs themselves (the lowest window, so the pages cover it).
    const int pageBottom = kClientHeight - kBottomBarHeight;
    RECT page = {0, 0, kClientWidth, pageBottom};
    const DWORD panel = WS_CLIPSIBLINGS;
    const DWORD field = WS_TABSTOP | ES_AUTOHSCROLL;
    const DWORD readOnly = ES_AUTOHSCROLL | ES_READONLY;
    HWND* pages[] = {&JavaSdkTS, &EditorTS, &HTMLTemplTS, &ProjectTS};
    for (HWND* p : pages)
        *p = Control(hwnd_, kPanelClass, "", panel, 0, 0, 0, 0, WS_EX_CONTROLPARENT);

    // Java SDK
    HWND ts = JavaSdkTS;
    Label1 = Control(ts, "Static", "Java SDK binary ( ..\\bin) directory", 0, 8, 8, 300, 14);
    JDirE = Control(ts, "Edit", "", readOnly, 8, 24, 568, 21, WS_EX_CLIENTEDGE);
    JDirSB = Control(ts, "Button", "", BS_PUSHBUTTON | BS_ICON, 580, 23, 23, 23);
    SendMessageA(JDirSB, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folderIcon_));
    KeepFocusAway(JDirSB);
    struct Row {
        const char* label;
        HWND* file;
        HWND* command;
    } rows[] = {{"Compiler", &CompE, &CompCommE},
                {"Interpreter", &InterpE, &IntCommE},
                {"Applet Viewer", &ApViewE, &ApViewCommE}};
    int y = 58;
    for (const Row& row : rows) {
        Control(ts, "Static", row.label, 0, 8, y + 3, 80, 14);
        *row.file = Control(ts, "Edit", "", readOnly, 92, y, 130, 21, WS_EX_CLIENTEDGE);
        Control(ts, "Static", "command", 0, 234, y + 3, 56, 14);
        *row.command = Control(ts, "Edit", "", field, 292, y, 311, 21, WS_EX_CLIENTEDGE);
        SendMessageA(*row.command, EM_LIMITTEXT, kMaxProfileText, 0);
        y += 28;
    }
    SetText(CompE, CompilerFile());
    SetText(InterpE, InterpreterFile());
    SetText(ApViewE, AppletViewerFile());
    NoteLabel(ts, 8, 146);
    Memo1 = Control(ts, "Edit", kMemo1Text, ES_MULTILINE | ES_READONLY, 8, 162, 595, 94,
                    WS_EX_CLIENTEDGE);

    // Editor
    ts = EditorTS;
    EdFontSB = Control(ts, "Button", "Editor font", WS_TABSTOP | BS_PUSHBUTTON, 16, 6, 100, 24);
    AddPicture(EdFontSB, kFontPicture);
    EdFontGB = Control(ts, "Button", "", BS_GROUPBOX | WS_CLIPSIBLINGS, 8, 16, 595, 186);
    Control(ts, "Static", "Name:", 0, 20, 40, 40, 14);
    FontNameL = Control(ts, "Static", "", 0, 62, 40, 240, 14);
    Control(ts, "Static", "Size: ", 0, 320, 40, 30, 14);
    FontSizeL = Control(ts, "Static", "", 0, 352, 40, 60, 14);
    SendMessageA(FontNameL, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
    SendMessageA(FontSizeL, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), FALSE);
    RichEdit1 = Control(ts, "RICHEDIT", "",
                        WS_TABSTOP | ES_MULTILINE | ES_READONLY | WS_HSCROLL | WS_VSCROLL |
                            ES_AUTOHSCROLL | ES_AUTOVSCROLL,
                        20, 60, 571, 130, WS_EX_CLIENTEDGE);
    SendMessageA(RichEdit1, EM_SETTARGETDEVICE, 0, 1);  // no word wrap
    SendMessageA(RichEdit1, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_BTNFACE));
    SetText(RichEdit1, kPreviewText);
    AutoindentCB = Control(ts, "Button", "Autoindent", WS_TABSTOP | BS_AUTOCHECKBOX, 8, 214, 120, 18);
    SmartTabsCB = Control(ts, "Button", "Smart tabs", WS_TABSTOP | BS_AUTOCHECKBOX, 8, 238, 120, 18);

    // HTML Template
    ts = HTMLTemplTS;
    HtmlTempM = Control(ts, "Edit", "",
                        WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                            WS_HSCROLL | WS_VSCROLL,
                        8, 8, 595, 190, WS_EX_CLIENTEDGE);
    SendMessageA(HtmlTempM, WM_SETFONT, reinterpret_cast<WPARAM>(templateFont_), FALSE);
    NoteLabel(ts, 8, 206);
    Memo2 = Control(ts, "Edit", kMemo2Text, WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 8, 222, 595,
                    36, WS_EX_CLIENTEDGE);

    // Project
    ts = ProjectTS;
    Control(ts, "Static", "Application command line", 0, 8, 8, 300, 14);
    AppComLineE = Control(ts, "Edit", "", field, 8, 24, 595, 21, WS_EX_CLIENTEDGE);
    Control(ts, "Static", "Applet HTML file", 0, 8, 56, 300, 14);
    AppHtmlE = Control(ts, "Edit", "", field, 8, 72, 568, 21, WS_EX_CLIENTEDGE);
    for (HWND e : {AppComLineE, AppHtmlE}) SendMessageA(e, EM_LIMITTEXT, kMaxProfileText, 0);
    SpeedButton1 = Control(ts, "Button", "", BS_PUSHBUTTON | BS_ICON, 580, 71, 23, 23);
    SendMessageA(SpeedButton1, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(folderIcon_));
    KeepFocusAway(SpeedButton1);
    SaveOptBB = Control(ts, "Button", "Save project options", WS_TABSTOP | BS_PUSHBUTTON, 8, 112,
                        150, 25);
    AddPicture(SaveOptBB, kSavePicture);
    PrjOptIniE = Control(ts, "Edit", "", readOnly, 166, 114, 437, 21, WS_EX_CLIENTEDGE);

    // The bottom bar, Cancel then OK on its right.
    Panel1 = Control(hwnd_, kPanelClass, "", panel, 0, pageBottom, kClientWidth, kBottomBarHeight,
                     WS_EX_CONTROLPARENT);
    Panel2 = Control(Panel1, kPanelClass, "", 0, kClientWidth - 172, 0, 172, kBottomBarHeight,
                     WS_EX_CONTROLPARENT);
    CancelBB = Control(Panel2, "Button", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 8, 2, 75, 25, 0, IDCANCEL);
    OkBB = Control(Panel2, "Button", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 91, 2, 75, 25, 0, IDOK);
    AddPicture(CancelBB, kCancelPicture);
    AddPicture(OkBB, kOkPicture);

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

std::string TOptionsF::Text(HWND control) {
    int n = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    n = GetWindowTextA(control, text.data(), n + 1);
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return text;
}

void TOptionsF::SetText(HWND control, const std::string& value) {
    SetWindowTextA(control, value.c_str());
}

bool TOptionsF::Checked(HWND control) {
    return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TOptionsF::SetChecked(HWND control, bool value) {
    SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TOptionsF::SetAppletHtmlFile(const std::string& value) {
    if (AppHtmlE) SetText(AppHtmlE, ExtractFileName(value));
    else TOptionsStore::SetAppletHtmlFile(value);
}

void TOptionsF::ReportJavaSdkError(const std::string& text) {
    Prompts().Message(showing_ ? hwnd_ : GetActiveWindow(), text, "Error", MB_OK | MB_ICONERROR);
}

void TOptionsF::EditorFontChange() {
    if (!hwnd_) return;  // shown when the dialog is made
    const TEditorFont& font = EditorFont();
    SetText(FontNameL, font.name);
    SetText(FontSizeL, std::to_string(font.size));
    CHARFORMATA format = CharFormatOf(font);
    SendMessageA(RichEdit1, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
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
    return reinterpret_cast<INT_PTR>(faceBrush_);
}

void TOptionsF::OnCommand(HWND control, UINT id, UINT code) {
    if (!control) {
        // From the dialog manager, without a control.
        if (id == IDCANCEL) control = CancelBB;
        else if (id == IDOK) control = OkBB;
        else return;
        code = BN_CLICKED;
    }
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

void TOptionsF::JDirSBClick() {
    FolderDialogRequest request;
    request.title = "Select " + Text(Label1);
    request.root = JavaSdkDir();
    request.directory = JavaSdkDir();
    request.flags = BIF_RETURNONLYFSDIRS;
    if (!Prompts().ChooseFolder(hwnd_, request)) return;
    std::string dir = request.directory;
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    if (CheckJavaSdkDir(dir)) {
        SetJavaSdkDir(dir);
        SetJavaSdkValid(true);
    }
}

void TOptionsF::EdFontSBClick() {
    if (!Prompts().FontDialog(hwnd_, fontD_)) return;
    const LOGFONTA& lf = fontD_.logFont;
    TEditorFont& font = EditorFont();
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // The whole font: face, size, style, colour and character set; one notification.
    font.name = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    // The dialog sets no bound; the program keeps to the one the settings file is
    // read with, so that a size it writes is the size it reads at the next start.
    font.size = std::clamp(MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, dpi), kMinFontSize,
                           kMaxFontSize);
    font.style = (lf.lfWeight >= FW_BOLD ? TEditorFont::Bold : 0u) |
                 (lf.lfItalic ? TEditorFont::Italic : 0u) |
                 (lf.lfUnderline ? TEditorFont::Underline : 0u) |
                 (lf.lfStrikeOut ? TEditorFont::StrikeOut : 0u);
    font.color = fontD_.color;
    font.charset = lf.lfCharSet;
    font.Changed();
}

void TOptionsF::SpeedButton1Click() {
    openD_.filterIndex = 2;  // the HTML pages, every time
    openD_.initialDir = ExtractFilePath(SourceFile());
    openD_.fileName.clear();  // so that the dialog starts in initialDir
    if (!Prompts().FileDialog(hwnd_, openD_)) return;
    SetAppletHtmlFile(openD_.fileName);
}

void TOptionsF::SaveOptBBClick() { SaveProjectOptions(); }

void TOptionsF::FormCloseBBClick() {
    modalResult_ = IDOK;
    Close();
}

void TOptionsF::Close() {
    bool canClose = true;
    FormCloseQuery(canClose);
    if (canClose) closed_ = true;
}

void TOptionsF::FormCloseQuery(bool& canClose) {
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
