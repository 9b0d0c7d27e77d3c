#pragma once
// TOptionsF: the settings holder of the program and the options dialog that
// shows it, one object. The store holds each setting; while the dialog is
// there, its controls show every change of one, and every edit in them is the
// setting at once. qp.ini lies beside the executable, the project options file
// beside the current source.
#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <string>

#include "OptionsStore.h"
#include "Prompts.h"
#include "ScopedWin32.h"

class TOptionsF : public TOptionsStore {
public:
    // When the dialog's window and controls are made: at once, or at the first
    // ShowModal (a program's start then pays nothing for a dialog it may never
    // show).
    enum class Window { Now, OnFirstShow };

    // Builds the (hidden) dialog unless it waits for its first show, then the
    // defaults, the editor font, qp.ini and the check of the SDK directory,
    // whose error box (if any) is shown before the constructor returns.
    // owner: the window the dialog will be shown over (the main window). It is
    // fixed at creation because some window managers only honour the owner a
    // window was created with.
    explicit TOptionsF(HWND owner = nullptr, Window window = Window::Now);
    ~TOptionsF() override;

    // Makes the dialog's window, its controls holding the settings as they
    // are, unless it is there already.
    void CreateDialogWindow();

    // Full path of "qp.ini" in the executable's directory.
    static std::string SettingsFileName();

    // Failures inside the dialog (a failed save) go here while it is shown;
    // the dialog stays open. Without one they are shown in an error box.
    using FailureHandler = std::function<void(std::exception_ptr)>;

    // Shows the dialog modally over owner (which takes no input meanwhile) and
    // returns IDOK or IDCANCEL. After OK, WM_APPLYSETTINGS is posted to owner.
    int ShowModal(HWND owner, FailureHandler onFailure = nullptr);
    bool Showing() const { return showing_; }

    // The window and its components, by their names.
    HWND Handle() const { return hwnd_; }
    HWND OptionsPC = nullptr, Panel1 = nullptr, Panel2 = nullptr, OkBB = nullptr, CancelBB = nullptr;
    HWND JavaSdkTS = nullptr, Label1 = nullptr, JDirE = nullptr, JDirSB = nullptr, JdkListCB = nullptr, CompE = nullptr,
         CompCommE = nullptr, InterpE = nullptr, IntCommE = nullptr, ApViewE = nullptr,
         ApViewCommE = nullptr, Memo1 = nullptr;
    HWND EditorTS = nullptr, EdFontGB = nullptr, EdFontSB = nullptr, FontNameL = nullptr,
         FontSizeL = nullptr, RichEdit1 = nullptr, AutoindentCB = nullptr, SmartTabsCB = nullptr,
         NewUtf8CB = nullptr, ColourCB = nullptr;
    HWND HTMLTemplTS = nullptr, HtmlTempM = nullptr, Memo2 = nullptr;
    HWND ProjectTS = nullptr, AppComLineE = nullptr, AppHtmlE = nullptr, SpeedButton1 = nullptr,
         SaveOptBB = nullptr, PrjOptIniE = nullptr;
    // The pages in their order; the active one's index.
    HWND Page(int index) const;
    int ActivePage() const;

protected:
    std::string SettingsFile() const override { return SettingsFileName(); }
    void ReportJavaSdkError(const std::string& text) override;
    void TextChanged(TextSetting which) override;
    void SwitchChanged(SwitchSetting which) override;
    void EditorFontChange() override;
    std::vector<JdkInstall> InstalledJdks() override;
    void ShowProjectOptionsFile(const std::string& name) override {
        projectFileShown_ = name;
        if (PrjOptIniE) SetWindowTextA(PrjOptIniE, name.c_str());
    }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // The controls: the frame's (OptionsUWin32.cpp), then each page's in a file of its own.
    void CreateControls();
    void CreateJavaSdkPage();
    void CreateEditorPage();
    void CreateHtmlTemplatePage();
    void CreateProjectPage();
    void CreateBottomBar();
    // The button pictures (OptionsPicturesWin32.cpp), icons from the program's resources.
    static void KeepFocusAway(HWND button);
    void AddPicture(HWND button, int pictureId);
    HWND Control(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w,
                 int h, DWORD exStyle = 0, int id = 0);
    HWND NoteLabel(HWND parent, int x, int y);
    void SetActivePage(int index);
    bool PreTranslate(MSG& msg);
    void OnCommand(HWND control, UINT id, UINT code);
    INT_PTR OnControlColor(HDC dc, HWND control, bool edit);
    // Runs fn; a failure goes to the failure handler and the dialog stays as it is.
    template <class Fn>
    void Guarded(Fn fn);

    // Handlers of the components; the pickers are in OptionsPickersWin32.cpp.
    void JDirSBClick();
    void EdFontSBClick();
    void SpeedButton1Click();
    void SaveOptBBClick();
    void FormCloseBBClick();
    void FormCloseQuery(bool& canClose);
    bool AcceptTypedSdkDir();
    // The list of JDKs found: filled as it opens, a pick fills the folder field.
    void JdkListCBCommand(UINT code);
    void Close();

    // The field or check box that shows a setting; null until the dialog is made.
    HWND FieldOf(TextSetting which) const;
    HWND CheckBoxOf(SwitchSetting which) const;
    // An edit in a field or a click on a check box: the store takes what the control now holds.
    void ControlChanged(HWND control);
    // Every setting into its control, as the dialog is made.
    void ShowSettings();

    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    HFONT guiFont_ = nullptr;  // a stock object, never deleted
    ScopedFont boldFont_, templateFont_;
    ScopedIcon folderIcon_;
    std::deque<ScopedIcon> pictures_;  // of the buttons with a picture beside their text
    ScopedBrush faceBrush_;
    int modalResult_ = 0;
    bool showing_ = false;
    bool closed_ = false;
    std::string sdkDirShown_;  // the folder when the dialog was shown or last accepted
    std::vector<JdkInstall> listedJdks_;  // what JdkListCB lists, in its order
    FailureHandler onFailure_;
    std::string projectFileShown_;  // for a dialog made later
    FontDialogRequest fontD_;   // FontD: keeps the font last confirmed in it
    FileDialogRequest openD_;   // OpenD
};

// The one settings holder; null until the program entry creates it.
extern TOptionsF* OptionsF;

// The profile API behind the settings store (GetPrivateProfileStringA and
// WritePrivateProfileStringA). A name without a directory is taken to lie in the
// current directory, not in the Windows directory as the API alone would have it.
IProfile& WindowsProfile();
