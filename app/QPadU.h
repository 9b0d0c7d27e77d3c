#pragma once
// The main window TQPadF: menus, tool bar, editor, error and output lists,
// status bar, the table of actions, and the commands bound to them.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>
#include <vector>

#include "QPadControls.h"
#include "Prompts.h"
#include "QPadLogic.h"
#include "QpErrors.h"

class TRichEditQX;
class TQPadF;

// Posted by the options dialog after OK; both parameters 0.
constexpr UINT WM_APPLYSETTINGS = WM_USER + 0x1000;

// One user command: bound to a menu item, maybe a tool bar button, maybe a shortcut.
struct TAction {
    const char* name;
    const char* category;
    const char* caption;
    UINT key;    // virtual key of the shortcut, 0 for none
    bool ctrl;   // Ctrl held with it
    const char* hint;
    void (TQPadF::*execute)();  // nullptr: a command still to come, does nothing
    UINT id = 0;                // command id, assigned at start-up
    bool enabled = true;

    std::string ShortcutText() const;
};

class TQPadF {
public:
    TQPadF();   // creates the window (not yet shown) and runs FormCreate
    ~TQPadF();
    TQPadF(const TQPadF&) = delete;
    TQPadF& operator=(const TQPadF&) = delete;

    HWND Handle() const { return hwnd_; }
    void Show(int showCommand);

    // Actions: lookup, and running one as the user does (only when enabled,
    // inside the failure guard).
    TAction* FindAction(const std::string& name);
    TAction* ActionById(UINT id);
    const std::vector<TAction>& Actions() const { return actions_; }
    bool Execute(const std::string& name);
    void SetActionEnabled(TAction& action, bool enabled);

    // Runs fn; a failure goes to AppException, the silent abort is dropped.
    template <class Fn>
    void Guarded(Fn fn) {
        try {
            fn();
        } catch (const EAbort&) {
        } catch (...) {
            HandleCurrentFailure();
        }
    }

    // Message loop helpers shared by the program entry and ShowStatus.
    bool PreTranslate(MSG& msg);   // accelerators and automatic hints; true when consumed
    void Idle();                   // enabled state of the standard edit actions

    // Operations of the window.
    void SetFileName(const std::string& name);
    void ShowStatus(const std::string& text);
    void ToolMessage(void* sender, const std::string& msg);
    // After New or Open; text is what was loaded (no need to read it back).
    void ResetEditorState(const std::string& text);
    void ApplyEditorSettings();
    bool IsAppletSource() const;
    void RichEditChange();
    void RichEditSelectionChange();
    void AppException(const std::exception& e);

    // File commands.
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FileExit1Execute();
    void CheckSaveChanges();

    // Standard edit actions, on the focused text control.
    void EditUndo1Execute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();

    // Components.
    HMENU MainMenu1 = nullptr;
    HWND ToolBar1 = nullptr;
    HIMAGELIST ImageList1 = nullptr;
    HWND RichEditP = nullptr;
    HWND Splitter2 = nullptr;
    HWND Panel1 = nullptr;
    HWND ErrorP = nullptr, ErrorHC = nullptr, ErrorLB = nullptr;
    HWND Splitter3 = nullptr;
    HWND CompillerP = nullptr, CompillerHC = nullptr, CompillerLB = nullptr;
    HWND StatusBar = nullptr;
    TRichEditQX* SourceEdit = nullptr;
    std::string FileName;

    // Status bar panel text, for tests and the hint logic.
    std::string PanelText(int panel) const;
    // Panel 0: the long part of a hint.
    void SetHintText(const std::string& hint);

    // Sizes the user can change with the splitters.
    int BottomHeight() const { return bottomHeight_; }
    int ErrorWidth() const { return errorWidth_; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleCurrentFailure();

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateLists();
    void CreateStatusBar();
    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormDestroy();
    void Layout();
    void OnCommand(UINT id);
    LRESULT OnNotify(NMHDR* header);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    HWND FocusedTextControl() const;
    void EditFocused(void (TRichEditQX::*own)(), UINT message);
    void UpdateActionUi(const TAction& action);
    void LoadSource(const std::string& path);
    void WriteSource(const std::string& path);
    void InitFileDialogs();
    std::string AskFileName(FileDialogRequest& dialog);

    HWND hwnd_ = nullptr;
    HACCEL accel_ = nullptr;
    HFONT listFont_ = nullptr;
    HICON bigIcon_ = nullptr, smallIcon_ = nullptr;
    std::vector<TAction> actions_;
    std::string lastHint_;
    CodeActionStates codeStates_;
    bool firstShow_ = true;
    bool oleReady_ = false;
    int bottomHeight_ = 105;
    int errorWidth_ = 282;
    int dragStart_ = 0;
    SplitterDrag drag2_, drag3_;
    FileDialogRequest openDialog_, saveDialog_;  // each offers the name last chosen in it
};

extern TQPadF* QPadF;
extern std::string ApplicationTitle;

// Creates the program's four windows in their order and runs the message loop.
int RunApplication(HINSTANCE instance, int showCommand);
// Runs the message loop until WM_QUIT.
int RunMessageLoop();
// Handles all pending messages and returns (what ShowStatus does).
void ProcessMessages();
