#include "QPadU.h"

#include <commctrl.h>
#include <ole2.h>
#include <windowsx.h>

#include <cstring>

#include "OptionsU.h"
#include "Prompts.h"
#include "RichEditQX.h"

TQPadF* QPadF = nullptr;
std::string ApplicationTitle = kAppTitle;

namespace {

const char kMainClass[] = "TQPadF";
const UINT kFirstActionId = 100;
const int kToolBarHeight = 30;
const int kStatusHeight = 19;
const int kSplitterSize = 5;
const int kHeaderHeight = 17;
const int kMinEditorHeight = 30;  // what the lower splitter always leaves to the editor
const int kMinErrorWidth = 1;     // the side splitter's minimum size

#define ACTION(name, cat, caption, key, ctrl, hint, handler) \
    TAction{name, cat, caption, key, ctrl, hint, handler}

std::vector<TAction> ActionTable() {
    return {
        ACTION("FileNew1", "File", "&New", 'N', true, "New|Create a new file", &TQPadF::FileNew1Execute),
        ACTION("FileOpen1", "File", "&Open", 'O', true, "Open|Open a file", &TQPadF::FileOpen1Execute),
        ACTION("FileSave1", "File", "&Save", 'S', true, "Save|Save current file", &TQPadF::FileSave1Execute),
        ACTION("FileSaveAs1", "File", "Save &As...", 0, false,
               "Save As|Save current file with different name", &TQPadF::FileSaveAs1Execute),
        ACTION("FileExit1", "File", "E&xit", 0, false, "Exit|Exit application", &TQPadF::FileExit1Execute),
        ACTION("EditUndo1", "Edit", "&Undo", 'Z', true, "Undo last changes", &TQPadF::EditUndo1Execute),
        ACTION("EditCut1", "Edit", "Cu&t", 'X', true, "Cut|Cuts the selection and puts it on the Clipboard",
               &TQPadF::EditCut1Execute),
        ACTION("EditCopy1", "Edit", "&Copy", 'C', true,
               "Copy|Copies the selection and puts it on the Clipboard", &TQPadF::EditCopy1Execute),
        ACTION("EditPaste1", "Edit", "&Paste", 'V', true, "Paste|Inserts Clipboard contents",
               &TQPadF::EditPaste1Execute),
        ACTION("HelpAbout1", "Help", "&About...", 0, false,
               "About|Displays program information, version number, and copyright", nullptr),
        ACTION("CodeCompile", "Code", "&Compile", VK_F9, true, "Compile source", nullptr),
        ACTION("CodeRun", "Code", "&Run", VK_F9, false, "Run application", nullptr),
        ACTION("EditOptions", "Edit", "&Options", 0, false, "Options", nullptr),
        ACTION("CodeRunApplet", "Code", "Run Applet", VK_F10, false, "Run Applet viewer", nullptr),
        ACTION("CodeCreateHTML", "Code", "Create HTML", VK_F10, true, "Create HTML template", nullptr),
        ACTION("EdFind", "Edit", "Find", 'F', true, "Find text", nullptr),
        ACTION("EdSearchAgain", "Edit", "Search again", VK_F3, false, "Repeat last search", nullptr),
    };
}

#undef ACTION

struct MenuItem {
    const char* component;
    const char* action;  // nullptr: a separator
};

struct MenuDef {
    const char* component;
    const char* caption;
    const char* hint;  // "" for none
    std::vector<MenuItem> items;
};

const std::vector<MenuDef>& MenuTable() {
    static const std::vector<MenuDef> menus = {
        {"File1", "&File", "File related commands",
         {{"FileNewItem", "FileNew1"}, {"FileOpenItem", "FileOpen1"}, {"FileSaveItem", "FileSave1"},
          {"FileSaveAsItem", "FileSaveAs1"}, {"N1", nullptr}, {"FileExitItem", "FileExit1"}}},
        {"Edit1", "&Edit", "Edit commands",
         {{"Undo1", "EditUndo1"}, {"N3", nullptr}, {"CutItem", "EditCut1"}, {"CopyItem", "EditCopy1"},
          {"PasteItem", "EditPaste1"}, {"N2", nullptr}, {"Options1", "EditOptions"}}},
        {"Search1", "&Search", "", {{"Find1", "EdFind"}, {"Searchagain1", "EdSearchAgain"}}},
        {"Code1", "&Code", "",
         {{"Compile1", "CodeCompile"}, {"Run1", "CodeRun"}, {"CreateHTML", "CodeCreateHTML"},
          {"RunApplet", "CodeRunApplet"}}},
        {"Help1", "&Help", "Help topics", {{"HelpAboutItem", "HelpAbout1"}}},
    };
    return menus;
}

// Tool bar, left to right; nullptr is an 8-pixel separator. The image is an
// index into the standard small bitmaps, or kOwn + n for the program's own.
const int kOwn = 1000;
struct ButtonDef {
    const char* action;
    int image;
};
const ButtonDef kButtons[] = {
    {"FileNew1", STD_FILENEW}, {"FileOpen1", STD_FILEOPEN}, {"FileSave1", STD_FILESAVE},
    {nullptr, 0},
    {"EditUndo1", STD_UNDO}, {"EditCut1", STD_CUT}, {"EditCopy1", STD_COPY}, {"EditPaste1", STD_PASTE},
    {nullptr, 0},
    {"EdFind", STD_FIND},
    {nullptr, 0},
    {"EditOptions", STD_PROPERTIES},
    {nullptr, 0},
    {"CodeCompile", kOwn + 0}, {"CodeRun", kOwn + 1}, {"CodeRunApplet", kOwn + 2},
};

bool IsTextControl(HWND hwnd) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    return _stricmp(cls, "Edit") == 0 || _strnicmp(cls, "RichEdit", 8) == 0;
}

}  // namespace

std::string TAction::ShortcutText() const {
    if (!key) return "";
    std::string text = ctrl ? "Ctrl+" : "";
    if (key >= VK_F1 && key <= VK_F24) {
        text += 'F';
        text += std::to_string(key - VK_F1 + 1);
    } else {
        text += static_cast<char>(key);
    }
    return text;
}

TQPadF::TQPadF() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // The rich-edit control pastes and drags through OLE.
    oleReady_ = SUCCEEDED(OleInitialize(nullptr));
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    RegisterQPadControls(instance);

    bigIcon_ = CreateAppIcon(GetSystemMetrics(SM_CXICON));
    smallIcon_ = CreateAppIcon(16);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, kMainClass, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kMainClass;
        RegisterClassExA(&wc);
    }

    CreateActions();
    CreateMenus();
    InitFileDialogs();

    // The designed client area of 694 x 480; the system picks the position.
    RECT rc{0, 0, 694, 480};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&rc, style, TRUE, 0);
    hwnd_ = CreateWindowExA(0, kMainClass, kAppTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                            rc.right - rc.left, rc.bottom - rc.top, nullptr, MainMenu1, instance, this);
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    CreateToolBar();
    RichEditP = CreatePanel(hwnd_, hwnd_);
    drag2_.begin = [this] { dragStart_ = bottomHeight_; };
    drag2_.drag = [this](int delta) {
        bottomHeight_ = dragStart_ - delta;
        Layout();
    };
    Splitter2 = CreateSplitter(hwnd_, true, &drag2_);
    CreateLists();
    CreateStatusBar();
    Layout();
    FormCreate();
}

TQPadF::~TQPadF() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    if (accel_) DestroyAcceleratorTable(accel_);
    if (listFont_) DeleteObject(listFont_);
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    if (QPadF == this) QPadF = nullptr;
    if (oleReady_) OleUninitialize();
}

void TQPadF::CreateActions() {
    actions_ = ActionTable();
    std::vector<ACCEL> keys;
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        TAction& a = actions_[i];
        a.id = kFirstActionId + static_cast<UINT>(i);
        if (a.key)
            keys.push_back({static_cast<BYTE>(FVIRTKEY | (a.ctrl ? FCONTROL : 0)),
                            static_cast<WORD>(a.key), static_cast<WORD>(a.id)});
    }
    accel_ = CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
}

void TQPadF::CreateMenus() {
    MainMenu1 = CreateMenu();
    for (const MenuDef& menu : MenuTable()) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (!item.action) {
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            TAction* a = FindAction(item.action);
            std::string text = a->caption;
            if (a->key) {
                text += '\t';
                text += a->ShortcutText();
            }
            AppendMenuA(popup, MF_STRING, a->id, text.c_str());
        }
        AppendMenuA(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
    }
}

void TQPadF::CreateToolBar() {
    ToolBar1 = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                               0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(ToolBar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(ToolBar1, TB_SETINDENT, 5, 0);
    TBADDBITMAP standard = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    int standardBase = static_cast<int>(SendMessageA(ToolBar1, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));
    // The tool bar masks a bitmap of ours by the button face colour.
    TBADDBITMAP own = {nullptr, reinterpret_cast<UINT_PTR>(CreateCodeButtonsBitmap(GetSysColor(COLOR_BTNFACE)))};
    int ownBase = static_cast<int>(SendMessageA(ToolBar1, TB_ADDBITMAP, 3, reinterpret_cast<LPARAM>(&own)));
    // ImageList1: the tool bar's own list of the images above.
    ImageList1 = reinterpret_cast<HIMAGELIST>(SendMessageA(ToolBar1, TB_GETIMAGELIST, 0, 0));

    std::vector<TBBUTTON> buttons;
    for (const ButtonDef& def : kButtons) {
        TBBUTTON b = {};
        if (!def.action) {
            b.iBitmap = 8;
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.iBitmap = def.image >= kOwn ? ownBase + def.image - kOwn : standardBase + def.image;
            b.idCommand = static_cast<int>(FindAction(def.action)->id);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.push_back(b);
    }
    SendMessageA(ToolBar1, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(ToolBar1, TB_SETMAXTEXTROWS, 0, 0);
}

void TQPadF::CreateLists() {
    Panel1 = CreatePanel(hwnd_, hwnd_);
    ErrorP = CreatePanel(Panel1, hwnd_);
    drag3_.begin = [this] { dragStart_ = errorWidth_; };
    drag3_.drag = [this](int delta) {
        errorWidth_ = dragStart_ + delta;
        Layout();
    };
    Splitter3 = CreateSplitter(Panel1, false, &drag3_);
    CompillerP = CreatePanel(Panel1, hwnd_);

    // Fixed pitch, 12 pixels of character height, items 15 pixels high.
    listFont_ = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto makeHeader = [&](HWND parent, const char* caption) {
        HWND header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | WS_VISIBLE | HDS_HORZ, 0, 0, 0, 0, parent,
                                      nullptr, instance, nullptr);
        SendMessageA(header, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        HDITEMA item = {};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<char*>(caption);
        item.cxy = 100;
        item.fmt = HDF_LEFT | HDF_STRING;
        SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return header;
    };
    auto makeList = [&](HWND parent) {
        HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                        LBS_NOINTEGRALHEIGHT,
                                    0, 0, 0, 0, parent, nullptr, instance, nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, 15);
        return list;
    };
    ErrorHC = makeHeader(ErrorP, "Errors");
    ErrorLB = makeList(ErrorP);
    CompillerHC = makeHeader(CompillerP, "DOS output");
    CompillerLB = makeList(CompillerP);
}

void TQPadF::CreateStatusBar() {
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                                WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN |
                                    CCS_NODIVIDER,
                                0, 0, 0, 0, hwnd_, nullptr, GetModuleHandleA(nullptr), nullptr);
    int edges[3] = {200, 250, -1};
    SendMessageA(StatusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Hint"));
    SendMessageA(StatusBar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(" 00:00"));
    SendMessageA(StatusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(""));
}

void TQPadF::Layout() {
    if (!StatusBar) return;  // still being built
    RECT rc;
    GetClientRect(hwnd_, &rc);
    const int w = rc.right, h = rc.bottom;
    const int middleTop = kToolBarHeight;
    const int bottomLimit = h - kStatusHeight - kSplitterSize - middleTop - kMinEditorHeight;
    if (bottomHeight_ > bottomLimit) bottomHeight_ = bottomLimit;
    if (bottomHeight_ < 0) bottomHeight_ = 0;
    if (errorWidth_ > w - kSplitterSize - 1) errorWidth_ = w - kSplitterSize - 1;
    if (errorWidth_ < kMinErrorWidth) errorWidth_ = kMinErrorWidth;

    const int panelTop = h - kStatusHeight - bottomHeight_;
    const int splitTop = panelTop - kSplitterSize;
    MoveWindow(ToolBar1, 0, 0, w, kToolBarHeight, TRUE);
    MoveWindow(StatusBar, 0, h - kStatusHeight, w, kStatusHeight, TRUE);
    MoveWindow(RichEditP, 0, middleTop, w, splitTop - middleTop > 0 ? splitTop - middleTop : 0, TRUE);
    MoveWindow(Splitter2, 0, splitTop, w, kSplitterSize, TRUE);
    MoveWindow(Panel1, 0, panelTop, w, bottomHeight_, TRUE);
    if (SourceEdit) {
        RECT er;
        GetClientRect(RichEditP, &er);
        MoveWindow(SourceEdit->Handle(), 0, 0, er.right, er.bottom, TRUE);
    }

    const int ew = errorWidth_, cw = w - ew - kSplitterSize, bh = bottomHeight_;
    MoveWindow(ErrorP, 0, 0, ew, bh, TRUE);
    MoveWindow(Splitter3, ew, 0, kSplitterSize, bh, TRUE);
    MoveWindow(CompillerP, ew + kSplitterSize, 0, cw, bh, TRUE);
    auto placeList = [&](HWND header, HWND list, int width) {
        MoveWindow(header, 0, 0, width, kHeaderHeight, TRUE);
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = width;  // the one section fills the header
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        MoveWindow(list, 0, kHeaderHeight, width, bh > kHeaderHeight ? bh - kHeaderHeight : 0, TRUE);
    };
    placeList(ErrorHC, ErrorLB, ew);
    placeList(CompillerHC, CompillerLB, cw);
}

void TQPadF::FormCreate() {
    SourceEdit = new TRichEditQX(RichEditP);
    Layout();
    SourceEdit->OnChange = [this] { RichEditChange(); };
    SourceEdit->OnSelectionChange = [this] { RichEditSelectionChange(); };
    // Failures that reach the message loop go to AppException: see Guarded and WndProc.
    ShowStatus("");
    FileNew1Execute();
}

void TQPadF::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    FormShow();
}

void TQPadF::FormShow() {
    if (!firstShow_) return;
    ApplyEditorSettings();
    SourceEdit->SetFocus();
    firstShow_ = false;
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

TAction* TQPadF::FindAction(const std::string& name) {
    for (TAction& a : actions_)
        if (name == a.name) return &a;
    return nullptr;
}

TAction* TQPadF::ActionById(UINT id) {
    if (id < kFirstActionId || id >= kFirstActionId + actions_.size()) return nullptr;
    return &actions_[id - kFirstActionId];
}

bool TQPadF::Execute(const std::string& name) {
    TAction* a = FindAction(name);
    if (!a) return false;
    OnCommand(a->id);
    return true;
}

void TQPadF::OnCommand(UINT id) {
    Idle();  // the standard edit actions' state as of now
    TAction* a = ActionById(id);
    if (!a || !a->enabled || !a->execute) return;
    Guarded([&] { (this->*(a->execute))(); });
}

void TQPadF::SetActionEnabled(TAction& action, bool enabled) {
    if (action.enabled == enabled) return;
    action.enabled = enabled;
    UpdateActionUi(action);
}

void TQPadF::UpdateActionUi(const TAction& action) {
    EnableMenuItem(MainMenu1, action.id, MF_BYCOMMAND | (action.enabled ? MF_ENABLED : MF_GRAYED));
    SendMessageA(ToolBar1, TB_ENABLEBUTTON, action.id, MAKELONG(action.enabled ? TRUE : FALSE, 0));
}

HWND TQPadF::FocusedTextControl() const {
    HWND focus = GetFocus();
    return focus && IsTextControl(focus) ? focus : nullptr;
}

void TQPadF::Idle() {
    HWND control = FocusedTextControl();
    bool canUndo = false, hasSelection = false;
    if (control) {
        canUndo = SendMessageA(control, EM_CANUNDO, 0, 0) != 0;
        DWORD start = 0, end = 0;
        SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        hasSelection = end != start;
    }
    SetActionEnabled(*FindAction("EditUndo1"), canUndo);
    SetActionEnabled(*FindAction("EditCut1"), hasSelection);
    SetActionEnabled(*FindAction("EditCopy1"), hasSelection);
    SetActionEnabled(*FindAction("EditPaste1"), control && IsClipboardFormatAvailable(CF_TEXT));
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
    if (accel_ && (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)))
        return TranslateAcceleratorA(hwnd_, accel_, &msg) != 0;
    return false;
}

void TQPadF::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {  // the menu closed
        SetHintText("");
        return;
    }
    if (flags & MF_POPUP) {
        if (menu == MainMenu1 && item < MenuTable().size())
            SetHintText(MenuTable()[item].hint);
        return;
    }
    TAction* a = ActionById(item);
    SetHintText(a ? a->hint : "");
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
        Layout();
        return 0;
    case WM_COMMAND:
        if (lParam) {
            if (SourceEdit && SourceEdit->HandleParentMessage(msg, wParam, lParam)) return 0;
            break;
        }
        OnCommand(LOWORD(wParam));
        return 0;
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
    case WM_SETFOCUS:
        if (SourceEdit) SourceEdit->SetFocus();
        return 0;
    case WM_CLOSE: {
        bool canClose = true;
        FormCloseQuery(canClose);
        if (canClose) DestroyWindow(hwnd_);
        return 0;
    }
    case WM_QUERYENDSESSION: {
        // Windows is shutting down: the same question as closing, and a No vote
        // while the user's changes are still unsaved.
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

void TQPadF::HandleCurrentFailure() {
    try {
        throw;
    } catch (const std::exception& e) {
        AppException(e);
    } catch (...) {
        AppException(Exception("Unexpected failure"));
    }
}

void TQPadF::AppException(const std::exception& e) {
    FailureBox box = FailureBoxFor(e, OptionsF ? OptionsF->JavaSdkDir() : std::string());
    Prompts().Message(hwnd_, box.text, box.caption, MB_OK | MB_ICONERROR);
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
    SetActionEnabled(*FindAction("CodeRun"), codeStates_.run);
    SetActionEnabled(*FindAction("CodeRunApplet"), codeStates_.runApplet);
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
    codeStates_.createHtml = ::IsAppletSource(text);
    SetActionEnabled(*FindAction("CodeCreateHTML"), codeStates_.createHtml);
}

void TQPadF::ApplyEditorSettings() {
    if (!OptionsF) return;
    SourceEdit->SetEditorFont(OptionsF->EditorFont());
    if (SourceEdit->AutoIndent() != OptionsF->AutoIndent()) SourceEdit->SetAutoIndent(OptionsF->AutoIndent());
    if (SourceEdit->SmartTabs() != OptionsF->SmartTabs()) SourceEdit->SetSmartTabs(OptionsF->SmartTabs());
}

bool TQPadF::IsAppletSource() const { return ::IsAppletSource(SourceEdit->Text()); }

void ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the loop proper
            return;
        }
        if (QPadF && QPadF->PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int RunMessageLoop() {
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            if (QPadF && QPadF->PreTranslate(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (QPadF) QPadF->Idle();
        WaitMessage();
    }
}
