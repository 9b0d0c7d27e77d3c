#pragma once
// The main window TQPadF: menus, tool bar, editor, error and output lists,
// status bar, the table of actions, and the commands bound to them.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <string>
#include <vector>

#include "CompilerU.h"
#include "Prompts.h"
#include "QPadActions.h"
#include "QPadBuildU.h"
#include "QPadControls.h"
#include "QPadLogic.h"
#include "QpErrors.h"
#include "QpMessages.h"
#include "ScopedWin32.h"
#include "SourceForm.h"

class TRichEditQX;
class TQPadF;


class TQPadF {
public:
    // Creates the window (not yet shown), owned by the application window when
    // there is one, and runs FormCreate. InitApplication must have run.
    TQPadF();
    ~TQPadF();
    TQPadF(const TQPadF&) = delete;
    TQPadF& operator=(const TQPadF&) = delete;

    HWND Handle() const { return hwnd_; }
    // The first time: the settings applied (FormShow), the window shown and the
    // editor focused, then what the commands need loaded.
    void Show(int showCommand);
    // Hidden while the application window, the program's task-bar button, is
    // minimized, and shown again as it was when that is restored.
    void FollowApplication(bool minimized);

    // Actions. A command runs only through WM_COMMAND with its id, as the menu,
    // the accelerators and the tool bar send it.
    TAction* FindAction(const std::string& name);
    TAction& Action(ActionId id);
    TAction* ActionById(UINT id);
    const std::vector<TAction>& Actions() const { return actions_; }

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
    // The right-end panel: the text's encoding and line ends ("UTF-8 BOM  LF").
    void ShowSourceForm();
    void ToolMessage(void* sender, const std::string& msg);
    // ToolMessage as the tool wrappers' progress event.
    TToolMessageEvent ToolEvents();
    // After New or Open; text is what was loaded (no need to read it back).
    void ResetEditorState(const std::string& text);
    void ApplyEditorSettings();
    bool IsAppletSource() const;
    void RichEditChange();
    void RichEditSelectionChange();
    // Shows a failure in a box owned by owner (the main window when null).
    void AppException(const std::exception& e, HWND owner = nullptr);

    // File commands.
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FileExit1Execute();
    void CheckSaveChanges();
    // The text's bytes in its form; asks before a change of encoding, throws when
    // the text must not be saved.
    std::string BytesToSave(const std::string& name);
    // Opens a file named on the command line (one, existing, not a folder), after start-up.
    void OpenFromCommandLine(const std::vector<std::string>& args);
    // The File menu's list of files last opened or saved, from qp.ini.
    void LoadRecentFiles();
    const std::vector<std::string>& RecentFiles() const { return recentFiles_; }

    // Build commands: Compile, Run and the applet commands.
    void CodeCompileExecute();
    void CodeRunExecute();
    void CodeCreateHTMLExecute();
    void CodeRunAppletExecute();
    // Who starts the tools: the Windows launcher unless a test hands in its own
    // (an empty one puts the Windows launcher back).
    void SetLauncher(TLauncher launcher);

    // Diagnostics navigation: the error list's double-click.
    void ErrorLBDblClick();

    // Find, Search again and the about box.
    void EdFindExecute();
    void EdSearchAgainExecute();
    void EdReplaceExecute();
    void EdGoToLineExecute();
    void HelpAbout1Execute();

    // Standard edit actions, on the focused text control.
    void EditUndo1Execute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void EditRedo1Execute();
    void EditSelectAll1Execute();

    // Edit/Options: the options dialog; the editor settings applied after OK.
    void EditOptionsExecute();

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

    static void RegisterWindowClass(HINSTANCE instance);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleCurrentFailure(HWND owner = nullptr);

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    struct Areas;
    void CreateLists(const Areas& areas);
    void ApplyListFont();
    void CreateStatusBar(const Areas& areas);
    void SetStatusParts(int width);
    void CreateLayout();
    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormDestroy();
    void RequestClose();
    // Where each pane goes in the client area as it is now; the lists and their
    // headers within their panels.
    struct Areas {
        int width;
        RECT toolBar, statusBar, editorPanel, splitter2, bottomPanel, errorPanel, splitter3, compilerPanel;
        RECT errorHeader, errorList, compilerHeader, compilerList;
    };
    Areas LayoutAreas() const;
    void Layout();
    int ShownBottomHeight() const;
    int ShownErrorWidth() const;
    void OnCommand(UINT id);
    void SetActionEnabled(TAction& action, bool enabled);
    // The one place the code actions' enabled states are written.
    void ApplyCodeStates();
    LRESULT OnNotify(NMHDR* header);
    bool OnListNotify(HWND list, UINT code);  // true when handled
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    HWND FocusedTextControl() const;
    void EditFocused(void (TRichEditQX::*own)(), UINT message);
    void UpdateActionUi(const TAction& action);
    void SearchText(bool fromCursor);
    // Find Next, Replace and Replace All of the replace dialog.
    void ReplaceCommand(int command);
    // Open's work after the save-changes question: load, show, remember.
    void OpenSourceFile(const std::string& path);
    void OpenRecentFile(std::size_t index);
    void AddRecentFile(const std::string& path);
    void SetRecentFiles(const std::vector<std::string>& files);
    void UpdateRecentMenu();
    void OnDropFiles(HDROP drop);
    // Runs a command as OnCommand does: failures to AppException, a close waits for its end.
    template <class Fn>
    void RunCommand(Fn fn);
    void LoadSource(const std::string& path);
    void WriteSource(const std::string& path);
    void InitFileDialogs();
    void StartUntitled(bool replaceText);
    // The form a new text is saved in: UTF-8 or ANSI as the settings say.
    TSourceForm NewFileForm() const;
    std::string AskFileName(FileDialogRequest& dialog);
    std::string CommandInterpreter() const;
    // From the saved source's bytes (its encoding) and the class's name as run.
    // The -encoding for the source's bytes and the sources beside it.
    EncodingChoice CompileEncoding(const std::string& source) const;
    std::string MakeCompilerCommandLine(const std::string& encoding) const;
    std::string MakeInterpreterCommandLine(const std::string& className) const;
    std::string MakeAppletViewerCommandLine() const;
    std::string FindAppletHtmlFile() const;
    // True while the placement saved when hidden is still being put back.
    bool RestoringPlacement();
    void SavePlacement();
    void RestorePlacementSoon();

    HWND hwnd_ = nullptr;
    ScopedAccelerators accel_;
    ScopedFont listFont_;
    std::vector<TAction> actions_;
    std::string lastHint_;
    CodeActionStates codeStates_;
    TLauncher launcher_;
    bool firstShow_ = true;
    WINDOWPLACEMENT placement_{};  // as it was when minimized, for the restore
    bool placementSaved_ = false;
    bool hiddenWithApplication_ = false;
    // Whether the clipboard holds text, as of the clipboard's change count.
    bool ClipboardHasText();
    bool clipboardHasText_ = false;
    DWORD clipboardSequence_ = 0;
    DWORD restoreUntil_ = 0;       // the placement is put back until then
    int commandDepth_ = 0;       // commands under way, one inside another
    bool closePending_ = false;  // a close asked for while one ran
    bool closing_ = false;       // the close's own question is being asked
    int bottomHeight_ = 105;
    int errorWidth_ = 282;
    int dragStart_ = 0;
    SplitterDrag drag2_, drag3_;
    FileDialogRequest openDialog_, saveDialog_;  // each offers the name last chosen in it
    std::vector<std::string> recentFiles_;
};

extern TQPadF* QPadF;
extern std::string ApplicationTitle;

// Process-wide set-up, once, before any window: the common controls, the
// program's window classes, and the application window titled with
// ApplicationTitle, which carries the task-bar button and owns the main window.
// Safe to call again.
void InitApplication();
// OLE for the program's thread, after InitApplication: the rich-edit control
// pastes through it, and the shell's dialogs need it. The main window starts it
// when it first shows, as nothing before needs it. Safe to call again.
void StartOle();
// Shows the application window, after the main window has been shown.
void ShowApplicationWindow();
// The application window; null before InitApplication.
HWND ApplicationWindow();
// Creates the program's four windows in their order and runs the message loop.
// args: the command line's arguments after the program's name.
int RunApplication(HINSTANCE instance, int showCommand, const std::vector<std::string>& args = {});
// Runs the message loop until WM_QUIT.
int RunMessageLoop();
// Handles all pending messages and returns (what ShowStatus does).
void ProcessMessages();
// The program-wide cursor: null lets each window show its own; any other cursor
// is shown over all of the main window while it is set.
HCURSOR ScreenCursor();
void SetScreenCursor(HCURSOR cursor);
