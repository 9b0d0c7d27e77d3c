// The main window's action, menu and tool bar tables, keyed by command id, and
// the running of a command.
#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <span>

#include "QPadU.h"

namespace {

using A = ActionId;

#define ACTION(id, cat, caption, key, ctrl, hint, handler) \
    TAction{A::id, #id, cat, caption, key, ctrl, hint, handler, static_cast<UINT>(A::id)}

// In id order, so that an id is its own index.
constexpr TAction kActions[] = {
    ACTION(FileNew1, "File", "&New", 'N', true, "New|Create a new file", &TQPadF::FileNew1Execute),
    ACTION(FileOpen1, "File", "&Open", 'O', true, "Open|Open a file", &TQPadF::FileOpen1Execute),
    ACTION(FileSave1, "File", "&Save", 'S', true, "Save|Save current file", &TQPadF::FileSave1Execute),
    ACTION(FileSaveAs1, "File", "Save &As...", 0, false, "Save As|Save current file with different name",
           &TQPadF::FileSaveAs1Execute),
    ACTION(FileExit1, "File", "E&xit", 0, false, "Exit|Exit application", &TQPadF::FileExit1Execute),
    ACTION(EditUndo1, "Edit", "&Undo", 'Z', true, "Undo last changes", &TQPadF::EditUndo1Execute),
    ACTION(EditRedo1, "Edit", "&Redo", 'Y', true, "Redo|Redo last undone changes", &TQPadF::EditRedo1Execute),
    ACTION(EditCut1, "Edit", "Cu&t", 'X', true, "Cut|Cuts the selection and puts it on the Clipboard",
           &TQPadF::EditCut1Execute),
    ACTION(EditCopy1, "Edit", "&Copy", 'C', true, "Copy|Copies the selection and puts it on the Clipboard",
           &TQPadF::EditCopy1Execute),
    ACTION(EditPaste1, "Edit", "&Paste", 'V', true, "Paste|Inserts Clipboard contents",
           &TQPadF::EditPaste1Execute),
    ACTION(EditSelectAll1, "Edit", "Select &All", 'A', true, "Select All|Selects the whole text",
           &TQPadF::EditSelectAll1Execute),
    ACTION(EditOptions, "Edit", "&Options", 0, false, "Options", &TQPadF::EditOptionsExecute),
    ACTION(EdFind, "Edit", "Find", 'F', true, "Find text", &TQPadF::EdFindExecute),
    ACTION(EdReplace, "Edit", "&Replace...", 'H', true, "Replace|Replace text", &TQPadF::EdReplaceExecute),
    ACTION(EdSearchAgain, "Edit", "Search again", VK_F3, false, "Repeat last search",
           &TQPadF::EdSearchAgainExecute),
    ACTION(EdGoToLine, "Edit", "&Go to Line...", 'G', true, "Go to Line|Move the caret to a line by its number",
           &TQPadF::EdGoToLineExecute),
    ACTION(CodeCompile, "Code", "&Compile", VK_F9, true, "Compile source", &TQPadF::CodeCompileExecute),
    ACTION(CodeRun, "Code", "&Run", VK_F9, false, "Run application", &TQPadF::CodeRunExecute),
    ACTION(CodeCreateHTML, "Code", "Create HTML", VK_F10, true, "Create HTML template",
           &TQPadF::CodeCreateHTMLExecute),
    ACTION(CodeRunApplet, "Code", "Run Applet", VK_F10, false, "Run Applet viewer", &TQPadF::CodeRunAppletExecute),
    ACTION(HelpAbout1, "Help", "&About...", 0, false,
           "About|Displays program information, version number, and copyright", &TQPadF::HelpAbout1Execute),
};

#undef ACTION

constexpr bool ActionsInIdOrder() {
    for (std::size_t i = 0; i < std::size(kActions); ++i)
        if (kActions[i].id != kFirstActionId + i) return false;
    return true;
}
static_assert(std::size(kActions) == kActionCount, "one action for each command id");
static_assert(ActionsInIdOrder(), "the action table is in id order");

struct MenuItem {
    const char* component;
    ActionId action;  // ActionId::Separator for a separator
};

struct MenuDef {
    const char* component;
    const char* caption;
    const char* hint;  // "" for none
    std::span<const MenuItem> items;
};

constexpr MenuItem kFileItems[] = {
    {"FileNewItem", A::FileNew1}, {"FileOpenItem", A::FileOpen1}, {"FileSaveItem", A::FileSave1},
    {"FileSaveAsItem", A::FileSaveAs1}, {"N1", A::Separator}, {"FileExitItem", A::FileExit1},
};
constexpr MenuItem kEditItems[] = {
    {"Undo1", A::EditUndo1}, {"Redo1", A::EditRedo1}, {"N3", A::Separator},
    {"CutItem", A::EditCut1}, {"CopyItem", A::EditCopy1}, {"PasteItem", A::EditPaste1},
    {"SelectAll1", A::EditSelectAll1}, {"N2", A::Separator}, {"Options1", A::EditOptions},
};
constexpr MenuItem kSearchItems[] = {
    {"Find1", A::EdFind}, {"Replace1", A::EdReplace}, {"Searchagain1", A::EdSearchAgain},
    {"N4", A::Separator}, {"GoToLine1", A::EdGoToLine},
};
constexpr MenuItem kCodeItems[] = {
    {"Compile1", A::CodeCompile}, {"Run1", A::CodeRun}, {"CreateHTML", A::CodeCreateHTML},
    {"RunApplet", A::CodeRunApplet},
};
constexpr MenuItem kHelpItems[] = {{"HelpAboutItem", A::HelpAbout1}};

constexpr MenuDef kMenus[] = {
    {"File1", "&File", "File related commands", kFileItems},
    {"Edit1", "&Edit", "Edit commands", kEditItems},
    {"Search1", "&Search", "", kSearchItems},
    {"Code1", "&Code", "", kCodeItems},
    {"Help1", "&Help", "Help topics", kHelpItems},
};

// Every command in the menus once, in id order.
constexpr bool MenusInIdOrder() {
    UINT next = kFirstActionId;
    for (const MenuDef& menu : kMenus)
        for (const MenuItem& item : menu.items)
            if (item.action != A::Separator && static_cast<UINT>(item.action) != next++) return false;
    return next == kFirstActionId + kActionCount;
}
static_assert(MenusInIdOrder(), "the ids follow the menus");

// Tool bar, left to right; a separator is 8 pixels wide. The image is an index
// into the standard small bitmaps, or kOwn + n for the program's own.
const int kOwn = 1000;
struct ButtonDef {
    ActionId action;  // ActionId::Separator for a separator
    int image;
};
constexpr ButtonDef kSeparator = {A::Separator, 0};
constexpr ButtonDef kButtons[] = {
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
    actions_.assign(std::begin(kActions), std::end(kActions));
    std::vector<ACCEL> keys;
    for (const TAction& a : actions_) {
        if (a.key)
            keys.push_back({static_cast<BYTE>(FVIRTKEY | (a.ctrl ? FCONTROL : 0)), static_cast<WORD>(a.key),
                            static_cast<WORD>(a.id)});
    }
    keys.push_back({FVIRTKEY | FCONTROL | FSHIFT, 'Z', static_cast<WORD>(ActionId::EditRedo1)});
    accel_.Reset(CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size())));
}

void TQPadF::CreateMenus() {
    mainMenu1_ = CreateMenu();
    for (const MenuDef& menu : kMenus) {
        HMENU popup = CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (item.action == A::Separator) {
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
        AppendMenuA(mainMenu1_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu.caption);
    }
    recentFiles_.SetMenu(GetSubMenu(mainMenu1_, 0));
}

void TQPadF::CreateToolBar() {
    const RECT area = layout_.AreasOf(hwnd_).toolBar;
    HWND toolBar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                   WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | TBSTYLE_FLAT |
                                       TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                   area.left, area.top, area.right - area.left, area.bottom - area.top, hwnd_, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    panes_.ToolBar1 = toolBar;
    SendMessageA(toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar, TB_SETINDENT, 5, 0);
    TBADDBITMAP standard = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    int standardBase = static_cast<int>(SendMessageA(toolBar, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard)));
    // The tool bar masks a bitmap of ours by the button face colour; the bitmap
    // stays ours, kept while the tool bar lives.
    codeButtons_.Reset(CreateCodeButtonsBitmap(GetSysColor(COLOR_BTNFACE)));
    TBADDBITMAP own = {nullptr, reinterpret_cast<UINT_PTR>(codeButtons_.Get())};
    int ownBase = static_cast<int>(SendMessageA(toolBar, TB_ADDBITMAP, 3, reinterpret_cast<LPARAM>(&own)));
    // ImageList1: the tool bar's own list of the images above.
    imageList1_ = reinterpret_cast<HIMAGELIST>(SendMessageA(toolBar, TB_GETIMAGELIST, 0, 0));

    std::vector<TBBUTTON> buttons;
    for (const ButtonDef& def : kButtons) {
        TBBUTTON b = {};
        if (def.action == A::Separator) {
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
    SendMessageA(toolBar, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(toolBar, TB_SETMAXTEXTROWS, 0, 0);
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

void TQPadF::OnCommand(UINT id) {
    Idle();  // the standard edit actions' state as of now
    if (const int recent = recentFiles_.IndexOfCommand(id); recent >= 0) {
        RunCommand([&] { OpenRecentFile(static_cast<std::size_t>(recent)); });
        return;
    }
    TAction* a = ActionById(id);
    if (!a || !a->enabled || !a->execute) return;
    RunCommand([&] { (this->*(a->execute))(); });
}

void TQPadF::SetActionEnabled(TAction& action, bool enabled) {
    if (action.enabled == enabled) return;
    action.enabled = enabled;
    UpdateActionUi(action);
}

void TQPadF::UpdateActionUi(const TAction& action) {
    EnableMenuItem(mainMenu1_, action.id, MF_BYCOMMAND | (action.enabled ? MF_ENABLED : MF_GRAYED));
    SendMessageA(panes_.ToolBar1, TB_ENABLEBUTTON, action.id, MAKELONG(action.enabled ? TRUE : FALSE, 0));
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
        if (menu == mainMenu1_ && item < std::size(kMenus)) SetHintText(kMenus[item].hint);
        return;
    }
    if (const int recent = recentFiles_.IndexOfCommand(item); recent >= 0) {
        SetHintText("Open " + recentFiles_.Files()[static_cast<std::size_t>(recent)]);
        return;
    }
    TAction* a = ActionById(item);
    SetHintText(a ? a->hint : "");
}
