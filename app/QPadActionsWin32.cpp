// The main window's action, menu and tool bar tables, keyed by command id, and
// the running of a command.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "LateBoundWin32.h"
#include "QPadU.h"

namespace {

using A = ActionId;

#define ACTION(id, cat, caption, key, ctrl, hint, handler) \
    TAction{A::id, #id, cat, caption, key, ctrl, hint, handler}

std::vector<TAction> ActionTable() {
    return {
        ACTION(FileNew1, "File", "&New", 'N', true, "New|Create a new file", &TQPadF::FileNew1Execute),
        ACTION(FileOpen1, "File", "&Open", 'O', true, "Open|Open a file", &TQPadF::FileOpen1Execute),
        ACTION(FileSave1, "File", "&Save", 'S', true, "Save|Save current file", &TQPadF::FileSave1Execute),
        ACTION(FileSaveAs1, "File", "Save &As...", 0, false, "Save As|Save current file with different name",
               &TQPadF::FileSaveAs1Execute),
        ACTION(FileExit1, "File", "E&xit", 0, false, "Exit|Exit application", &TQPadF::FileExit1Execute),
        ACTION(EditUndo1, "Edit", "&Undo", 'Z', true, "Undo last changes", &TQPadF::EditUndo1Execute),
        ACTION(EditCut1, "Edit", "Cu&t", 'X', true, "Cut|Cuts the selection and puts it on the Clipboard",
               &TQPadF::EditCut1Execute),
        ACTION(EditCopy1, "Edit", "&Copy", 'C', true, "Copy|Copies the selection and puts it on the Clipboard",
               &TQPadF::EditCopy1Execute),
        ACTION(EditPaste1, "Edit", "&Paste", 'V', true, "Paste|Inserts Clipboard contents",
               &TQPadF::EditPaste1Execute),
        ACTION(HelpAbout1, "Help", "&About...", 0, false,
               "About|Displays program information, version number, and copyright", &TQPadF::HelpAbout1Execute),
        ACTION(CodeCompile, "Code", "&Compile", VK_F9, true, "Compile source", &TQPadF::CodeCompileExecute),
        ACTION(CodeRun, "Code", "&Run", VK_F9, false, "Run application", &TQPadF::CodeRunExecute),
        ACTION(EditOptions, "Edit", "&Options", 0, false, "Options", &TQPadF::EditOptionsExecute),
        ACTION(CodeRunApplet, "Code", "Run Applet", VK_F10, false, "Run Applet viewer",
               &TQPadF::CodeRunAppletExecute),
        ACTION(CodeCreateHTML, "Code", "Create HTML", VK_F10, true, "Create HTML template",
               &TQPadF::CodeCreateHTMLExecute),
        ACTION(EdFind, "Edit", "Find", 'F', true, "Find text", &TQPadF::EdFindExecute),
        ACTION(EdSearchAgain, "Edit", "Search again", VK_F3, false, "Repeat last search",
               &TQPadF::EdSearchAgainExecute),
        ACTION(EditRedo1, "Edit", "&Redo", 'Y', true, "Redo|Redo last undone changes", &TQPadF::EditRedo1Execute),
        ACTION(EditSelectAll1, "Edit", "Select &All", 'A', true, "Select All|Selects the whole text",
               &TQPadF::EditSelectAll1Execute),
        ACTION(EdReplace, "Edit", "&Replace...", 'H', true, "Replace|Replace text", &TQPadF::EdReplaceExecute),
        ACTION(EdGoToLine, "Edit", "&Go to Line...", 'G', true, "Go to Line|Move the caret to a line by its number",
               &TQPadF::EdGoToLineExecute),
    };
}

#undef ACTION

struct MenuItem {
    const char* component;
    ActionId action;
    bool separator = false;
};
MenuItem Separator(const char* component) { return {component, A::FileNew1, true}; }

struct MenuDef {
    const char* component;
    const char* caption;
    const char* hint;  // "" for none
    std::vector<MenuItem> items;
};

const std::vector<MenuDef>& MenuTable() {
    static const std::vector<MenuDef> menus = {
        {"File1", "&File", "File related commands",
         {{"FileNewItem", A::FileNew1}, {"FileOpenItem", A::FileOpen1}, {"FileSaveItem", A::FileSave1},
          {"FileSaveAsItem", A::FileSaveAs1}, Separator("N1"), {"FileExitItem", A::FileExit1}}},
        {"Edit1", "&Edit", "Edit commands",
         {{"Undo1", A::EditUndo1}, {"Redo1", A::EditRedo1}, Separator("N3"), {"CutItem", A::EditCut1},
          {"CopyItem", A::EditCopy1}, {"PasteItem", A::EditPaste1}, {"SelectAll1", A::EditSelectAll1},
          Separator("N2"), {"Options1", A::EditOptions}}},
        {"Search1", "&Search", "",
         {{"Find1", A::EdFind}, {"Replace1", A::EdReplace}, {"Searchagain1", A::EdSearchAgain}, Separator("N4"),
          {"GoToLine1", A::EdGoToLine}}},
        {"Code1", "&Code", "",
         {{"Compile1", A::CodeCompile}, {"Run1", A::CodeRun}, {"CreateHTML", A::CodeCreateHTML},
          {"RunApplet", A::CodeRunApplet}}},
        {"Help1", "&Help", "Help topics", {{"HelpAboutItem", A::HelpAbout1}}},
    };
    return menus;
}

// Tool bar, left to right; a separator is 8 pixels wide. The image is an index
// into the standard small bitmaps, or kOwn + n for the program's own.
const int kOwn = 1000;
struct ButtonDef {
    ActionId action;
    int image;
    bool separator = false;
};
const ButtonDef kSeparator = {A::FileNew1, 0, true};
const ButtonDef kButtons[] = {
    {A::FileNew1, STD_FILENEW}, {A::FileOpen1, STD_FILEOPEN}, {A::FileSave1, STD_FILESAVE},
    kSeparator,
    {A::EditUndo1, STD_UNDO}, {A::EditCut1, STD_CUT}, {A::EditCopy1, STD_COPY}, {A::EditPaste1, STD_PASTE},
    kSeparator,
    {A::EdFind, STD_FIND},
    kSeparator,
    {A::EditOptions, STD_PROPERTIES},
    kSeparator,
    {A::CodeCompile, kOwn + 0}, {A::CodeRun, kOwn + 1}, {A::CodeRunApplet, kOwn + 2},
};

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

void TQPadF::CreateActions() {
    actions_ = ActionTable();
    std::vector<ACCEL> keys;
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        TAction& a = actions_[i];
        a.id = static_cast<UINT>(a.action);
        // The table is in id order, so an id is its own index.
        if (a.id != kFirstActionId + i) throw Exception("The action table is out of order");
        if (a.key)
            keys.push_back({static_cast<BYTE>(FVIRTKEY | (a.ctrl ? FCONTROL : 0)), static_cast<WORD>(a.key),
                            static_cast<WORD>(a.id)});
    }
    keys.push_back({FVIRTKEY | FCONTROL | FSHIFT, 'Z', static_cast<WORD>(ActionId::EditRedo1)});
    accel_.Reset(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
}

void TQPadF::CreateMenus() {
    MainMenu1 = CreateMenu();
    for (const MenuDef& menu : MenuTable()) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (item.separator) {
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
                continue;
            }
            const TAction& a = Action(item.action);
            std::string text = a.caption;
            if (a.key) {
                text += '\t';
                text += a.ShortcutText();
            }
            AppendMenuA(popup, MF_STRING, a.id, text.c_str());
        }
        AppendMenuA(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
    }
}

void TQPadF::CreateToolBar() {
    const RECT area = LayoutAreas().toolBar;
    ToolBar1 = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                   CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                               area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
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
        if (def.separator) {
            b.iBitmap = 8;
            b.fsStyle = TBSTYLE_SEP;
        } else {
            b.iBitmap = def.image >= kOwn ? ownBase + def.image - kOwn : standardBase + def.image;
            b.idCommand = static_cast<int>(def.action);
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
        buttons.push_back(b);
    }
    SendMessageA(ToolBar1, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(ToolBar1, TB_SETMAXTEXTROWS, 0, 0);
}

TAction* TQPadF::FindAction(const std::string& name) {
    for (TAction& a : actions_)
        if (name == a.name) return &a;
    return nullptr;
}

TAction& TQPadF::Action(ActionId id) { return actions_[static_cast<UINT>(id) - kFirstActionId]; }

TAction* TQPadF::ActionById(UINT id) {
    if (id < kFirstActionId || id >= kFirstActionId + actions_.size()) return nullptr;
    return &actions_[id - kFirstActionId];
}

template <class Fn>
void TQPadF::RunCommand(Fn fn) {
    ++commandDepth_;
    Guarded(fn);
    if (--commandDepth_ == 0 && closePending_) {
        closePending_ = false;
        RequestClose();
    }
}

void TQPadF::OnCommand(UINT id) {
    Idle();  // the standard edit actions' state as of now
    if (id >= kFirstRecentId && id < kFirstRecentId + recentFiles_.size()) {
        RunCommand([&] { OpenRecentFile(id - kFirstRecentId); });
        return;
    }
    TAction* a = ActionById(id);
    if (!a || !a->enabled || !a->execute) return;
    RunCommand([&] { (this->*(a->execute))(); });
}

void TQPadF::OnDropFiles(HDROP drop) {
    std::vector<std::string> names;
    const auto query = LATE_BOUND(DragQueryFileA, kShellDll);
    const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = query(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        name.resize(query(drop, i, name.data(), length + 1));
        names.push_back(name);
    }
    LATE_BOUND(DragFinish, kShellDll)(drop);
    // The program may be behind the window the files came from.
    SetForegroundWindow(hwnd_);
    if (commandDepth_ > 0) return;  // a command under way keeps the text as it is
    RunCommand([&] {
        if (names.size() != 1) throw Exception("Drop one file at a time: " + std::to_string(names.size()) + " were dropped");
        const DWORD attributes = GetFileAttributesA(names[0].c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Exception(names[0] + " is a folder, not a file");
        CheckSaveChanges();
        OpenSourceFile(names[0]);
    });
}

void TQPadF::UpdateRecentMenu() {
    HMENU file = GetSubMenu(MainMenu1, 0);
    if (!file) return;
    // The list and its separator go between the separator N1 and Exit.
    for (UINT id = kFirstRecentId; id <= kFirstRecentId + kMaxRecentFiles; ++id) RemoveMenu(file, id, MF_BYCOMMAND);
    const UINT exitId = static_cast<UINT>(ActionId::FileExit1);
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        std::string text(1, '&');
        text += std::to_string(i + 1);
        text += ' ';
        for (char c : recentFiles_[i]) {
            if (c == '&') text += '&';  // a literal ampersand, not an access key
            text += c;
        }
        InsertMenuA(file, exitId, MF_BYCOMMAND | MF_STRING, kFirstRecentId + i, text.c_str());
    }
    if (!recentFiles_.empty())
        InsertMenuA(file, exitId, MF_BYCOMMAND | MF_SEPARATOR, kFirstRecentId + kMaxRecentFiles, nullptr);
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

void TQPadF::ApplyCodeStates() {
    SetActionEnabled(Action(ActionId::CodeRun), codeStates_.run);
    SetActionEnabled(Action(ActionId::CodeRunApplet), codeStates_.runApplet);
    SetActionEnabled(Action(ActionId::CodeCreateHTML), codeStates_.createHtml);
}

void TQPadF::OnMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && !menu) {  // the menu closed
        SetHintText("");
        return;
    }
    if (flags & MF_POPUP) {
        if (menu == MainMenu1 && item < MenuTable().size()) SetHintText(MenuTable()[item].hint);
        return;
    }
    if (item >= kFirstRecentId && item < kFirstRecentId + recentFiles_.size()) {
        SetHintText("Open " + recentFiles_[item - kFirstRecentId]);
        return;
    }
    TAction* a = ActionById(item);
    SetHintText(a ? a->hint : "");
}
