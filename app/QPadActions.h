#pragma once
// The main window's commands: their ids, which key the action, menu and tool bar
// tables, and the action record itself.
#include <windows.h>

#include <string>

class TQPadF;

// Command ids, in the order of the menus (File, Edit, Search, Code, Help) and so
// of the action table. A WM_COMMAND from a menu, an accelerator or the tool bar
// carries one of these; the values live only inside the process.
enum class ActionId : UINT {
    // Not a command: a separator in the menu and tool bar tables.
    Separator = 0,
    FileNew1 = 100,
    FileOpen1,
    FileSave1,
    FileSaveAs1,
    FileExit1,
    EditUndo1,
    EditRedo1,
    EditCut1,
    EditCopy1,
    EditPaste1,
    EditSelectAll1,
    EditOptions,
    EdFind,
    EdReplace,
    EdSearchAgain,
    EdGoToLine,
    CodeCompile,
    CodeRun,
    CodeCreateHTML,
    CodeRunApplet,
    HelpAbout1,
};
inline constexpr UINT kFirstActionId = static_cast<UINT>(ActionId::FileNew1);
inline constexpr std::size_t kActionCount = static_cast<UINT>(ActionId::HelpAbout1) - kFirstActionId + 1;
// The File menu's recent files, the first at kFirstRecentId.
inline constexpr UINT kFirstRecentId = 900;
inline constexpr int kMaxRecentFiles = 8;

// One user command: bound to a menu item, maybe a tool bar button, maybe a shortcut.
struct TAction {
    ActionId action;
    const char* name;  // the component name, for hints and tests
    const char* category;
    const char* caption;
    UINT key;   // virtual key of the shortcut, 0 for none
    bool ctrl;  // Ctrl held with it
    const char* hint;
    void (TQPadF::*execute)();  // nullptr: a command still to come, does nothing
    UINT id = 0;                // the command id, static_cast<UINT>(action)
    bool enabled = true;

    std::string ShortcutText() const;
};
