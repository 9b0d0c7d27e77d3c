#pragma once
// The main window TQPadF: menus, tool bar, editor, error and output lists,
// status bar, the table of actions, and the commands bound to them.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "CompilerU.h"
#include "Prompts.h"
#include "QPadActions.h"
#include "QPadBuildU.h"
#include "QPadControls.h"
#include "QPadFileWatch.h"
#include "QPadLayout.h"
#include "QPadLogic.h"
#include "QPadPlacement.h"
#include "QPadRecentFiles.h"
#include "QpErrors.h"
#include "QpMessages.h"
#include "ScopedWin32.h"
#include "SourceForm.h"

class TAboutBox;
class TFindF;
class TGoToLineF;
class TReplaceF;
class TRichEditQX;

class TQPadF {
public:
    // Creates the window (not yet shown), owned by the application window when
    // there is one, and runs FormCreate. InitApplication must have run.
    TQPadF();
    // The dialogs it made, then the window with its editor.
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
    // The dialogs of the search commands (Find, Replace, Go to Line) that this
    // window made: at the program's end they go before the settings holder, and
    // the about box with the window.
    void DestroySearchDialogs();

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
    // Another program's change to the file on disk: an unmodified text is
    // reloaded, a modified one asks; a file gone marks the text modified. False
    // when the text was reloaded (there is nothing left to save).
    bool FollowFileOnDisk();
    // The text's bytes in its form; asks before a change of encoding, throws when
    // the text must not be saved.
    std::string BytesToSave(const std::string& name);
    // Opens a file named on the command line (one, existing, not a folder), after start-up.
    void OpenFromCommandLine(const std::vector<std::string>& args);
    // The File menu's list of files last opened or saved, from qp.ini.
    void LoadRecentFiles();
    const std::vector<std::string>& RecentFiles() const { return recentFiles_.Files(); }

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

    // Search commands: Find, Search again, Replace, Go to Line.
    void EdFindExecute();
    void EdSearchAgainExecute();
    void EdReplaceExecute();
    void EdGoToLineExecute();
    // Help: the about box.
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

    // Components, by the names they have always had.
    HMENU MainMenu1() const { return mainMenu1_; }
    HWND ToolBar1() const { return panes_.ToolBar1; }
    HIMAGELIST ImageList1() const { return imageList1_; }
    HWND RichEditP() const { return panes_.RichEditP; }
    HWND Splitter2() const { return panes_.Splitter2; }
    HWND Panel1() const { return panes_.Panel1; }
    HWND ErrorP() const { return panes_.ErrorP; }
    HWND ErrorHC() const { return panes_.ErrorHC; }
    HWND ErrorLB() const { return panes_.ErrorLB; }
    HWND Splitter3() const { return panes_.Splitter3; }
    HWND CompillerP() const { return panes_.CompillerP; }
    HWND CompillerHC() const { return panes_.CompillerHC; }
    HWND CompillerLB() const { return panes_.CompillerLB; }
    HWND StatusBar() const { return panes_.StatusBar; }
    // The editor, from FormCreate until the window is destroyed.
    TRichEditQX* SourceEdit() const { return sourceEdit_.get(); }
    const std::string& FileName() const { return fileName_; }
    // The dialogs this window made at their first use (null before): FindF and
    // AboutBox point to these unless a test put its own there.
    const TFindF* OwnFindF() const { return findF_.get(); }
    const TAboutBox* OwnAboutBox() const { return aboutBox_.get(); }

    // Status bar panel text, for tests and the hint logic.
    std::string PanelText(int panel) const;
    // Panel 0: the long part of a hint.
    void SetHintText(const std::string& hint);

    // Sizes the user can change with the splitters.
    int BottomHeight() const { return layout_.BottomHeight(); }
    int ErrorWidth() const { return layout_.ErrorWidth(); }

    static void RegisterWindowClass(HINSTANCE instance);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void HandleCurrentFailure(HWND owner = nullptr);

    // Message handlers.
    void OnSize(WPARAM type);
    bool OnCommandMessage(WPARAM wParam, LPARAM lParam);  // true when handled
    LRESULT OnNotify(NMHDR* header);
    bool OnListNotify(HWND list, UINT code);  // true when handled
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    bool OnSysCommand(WPARAM command);  // true when handled
    bool OnSetCursor();                 // true when handled
    BOOL OnQueryEndSession();
    void OnDropFiles(HDROP drop);
    void OnDestroy();

    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    // The panes, each made where the layout puts it.
    void CreatePanes();
    void CreateLists(const TQPadLayout::Areas& areas);
    void ApplyListFont();
    void CreateStatusBar(const TQPadLayout::Areas& areas);
    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void RequestClose();
    // Puts every pane where the layout says for the client area as it is now.
    void Layout();
    void OnCommand(UINT id);
    void SetActionEnabled(TAction& action, bool enabled);
    // The one place the code actions' enabled states are written.
    void ApplyCodeStates();
    HWND FocusedTextControl() const;
    void EditFocused(void (TRichEditQX::*own)(), UINT message);
    void UpdateActionUi(const TAction& action);
    void SearchText(bool fromCursor);
    // Find Next, Replace and Replace All of the replace dialog.
    void ReplaceCommand(int command);
    // Open's work after the save-changes question: load, show, remember.
    void OpenSourceFile(const std::string& path);
    // The file's text again, as Open loads it, with the caret on the line it was on.
    void ReloadSourceFile();
    void WarnIfNotFaithful(const std::string& name);
    // The file is looked at now, or when the command or modal box under way ends.
    void CheckFileWhenFree();
    void OpenRecentFile(std::size_t index);
    // Runs a command as OnCommand does: failures to AppException, a close waits for its end.
    template <class Fn>
    void RunCommand(Fn fn);
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
    // Whether the clipboard holds text, as of the clipboard's change count.
    bool ClipboardHasText();

    HWND hwnd_ = nullptr;
    HMENU mainMenu1_ = nullptr;       // the window's menu bar, destroyed with it
    HIMAGELIST imageList1_ = nullptr;  // the tool bar's own list of its images
    ScopedBitmap codeButtons_;        // the images of Compile, Run and Run Applet, for the tool bar's life
    TQPadPanes panes_;
    TQPadLayout layout_;
    TPlacementKeeper placement_;
    TRecentFiles recentFiles_;
    std::unique_ptr<TRichEditQX> sourceEdit_;
    std::string fileName_;
    ScopedAccelerators accel_;
    ScopedFont listFont_;
    std::vector<TAction> actions_;
    std::string lastHint_;
    CodeActionStates codeStates_;
    TLauncher launcher_;
    bool firstShow_ = true;
    bool clipboardHasText_ = false;
    DWORD clipboardSequence_ = 0;
    int commandDepth_ = 0;       // commands under way, one inside another
    bool closePending_ = false;  // a close asked for while one ran
    bool closing_ = false;       // the close's own question is being asked
    TFileWatch fileWatch_;
    bool fileCheckPending_ = false;  // asked for while the window was busy
    FileDialogRequest openDialog_, saveDialog_;  // each offers the name last chosen in it
    // The dialogs, each made at its first use; the globals FindF, ReplaceF,
    // GoToLineF and AboutBox point to them.
    std::unique_ptr<TFindF> findF_;
    std::unique_ptr<TReplaceF> replaceF_;
    std::unique_ptr<TGoToLineF> goToLineF_;
    std::unique_ptr<TAboutBox> aboutBox_;
};

template <class Fn>
void TQPadF::RunCommand(Fn fn) {
    ++commandDepth_;
    Guarded(fn);
    if (--commandDepth_ == 0 && closePending_) {
        closePending_ = false;
        RequestClose();
    }
    if (commandDepth_ == 0 && fileCheckPending_ && hwnd_) PostMessageA(hwnd_, WM_CHECKFILE, 0, 0);
}

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
