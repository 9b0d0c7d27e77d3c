#pragma once
// The main window with the stand-in SDK: a settings holder that points at it,
// the tools' command lines logged, and helpers to run the build commands as the
// user does (menu, keys, tool bar, a double-click on the error list).
#include <memory>

#include "LauncherWin32.h"
#include "MainWindowFixture.h"
#include "OptionsStore.h"
#include "StandInSdk.h"

// The real settings holder with the SDK directory and the HTML template under
// the test's control (the options dialog is what changes them in the program).
class TStandInOptions : public TOptionsF {
public:
    std::string htmlTemplate = DefaultHtmlTemplate();
    std::string HtmlTemplate() const override { return htmlTemplate; }
    void UseSdk(const std::string& dir) {
        SetJavaSdkDir(dir);
        SetJavaSdkValid(CheckJavaSdkDir(dir));
    }
    void BreakSdk(const std::string& dir) {
        SetJavaSdkDir(dir);
        SetJavaSdkValid(false);
    }
};

// Replaces the fixture's settings holder by one on the stand-in SDK.
inline TStandInOptions* UseStandInSdk(ScriptedPrompts& prompts) {
    delete OptionsF;
    OptionsF = nullptr;
    const std::size_t before = prompts.messages.size();
    prompts.messageAnswers.push_back(IDOK);  // the check of the default directory
    auto* options = new TStandInOptions();
    OptionsF = options;
    prompts.messages.resize(before);
    options->UseSdk(standin::SdkDir());
    InitCompilerU();
    if (QPadF) options->SetSourceFile(QPadF->FileName());
    return options;
}

class BuildTest : public MainWindowTest {
protected:
    TStandInOptions* options = nullptr;
    std::string log;
    std::unique_ptr<standin::ScopedEnv> logEnv;

    void SetUp() override {
        MainWindowTest::SetUp();
        options = UseStandInSdk(prompts);
        log = dir + "tools.log";
        logEnv = std::make_unique<standin::ScopedEnv>("QP_FIXTURE_LOG", log);
    }
    void TearDown() override {
        logEnv.reset();
        MainWindowTest::TearDown();
    }

    // A real capture's source, by case name.
    static std::string CaptureSource(const std::string& name) {
        return std::string(QP_FIXTURE_CAPTURES_DIR) + "..\\capture\\src\\" + name + "\\Hello.java";
    }

    // Puts text into a file of the test's folder and opens it with the Open command.
    void OpenSource(const std::string& name, const std::string& text) {
        WriteFileBytes(dir + name, text);
        prompts.fileAnswers.push_back(dir + name);
        Command("FileOpen1");
    }

    // Ctrl+F9 with the stand-in compiler replaying a capture ("" for a clean,
    // silent compile).
    void CompileWith(const std::string& capture) {
        standin::ScopedEnv replay("QP_JAVAC_CAPTURE", capture.empty() ? "" : standin::Capture(capture));
        standin::ScopedEnv source("QP_JAVAC_CAPTURE_SOURCE", "C:\\work\\Hello.java");
        Shortcut(VK_F9, true);
    }

    // A shortcut through the accelerator table, as the message loop hands it over.
    void Shortcut(UINT vk, bool ctrl) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG msg = {};
        msg.hwnd = EditorWnd();
        msg.message = WM_KEYDOWN;
        msg.wParam = vk;
        msg.lParam = 1;
        const bool consumed = QPadF->PreTranslate(msg);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        EXPECT_TRUE(consumed) << "no accelerator for key " << vk;
        ProcessMessages();
    }

    // A tool bar button's click as the tool bar reports it.
    void ToolButton(const char* action) {
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction(action)->id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(QPadF->ToolBar1()));
        ProcessMessages();
    }

    // A double-click with the mouse on an item of the error list.
    void DoubleClickError(int index) {
        HWND list = QPadF->ErrorLB();
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        RECT r;
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
        ProcessMessages();
    }

    // The capture's lines as the compiler would have written them for source.
    static std::vector<std::string> CaptureLines(const std::string& name, const std::string& source) {
        std::string text = ReadFileBytes(standin::Capture(name));
        const std::string from = "C:\\work\\Hello.java";
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += source.size())
            text.replace(at, from.size(), source);
        std::vector<std::string> lines;
        std::size_t start = 0, end;
        while ((end = text.find("\r\n", start)) != std::string::npos) {
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    std::string LastMessage() const { return prompts.messages.empty() ? "<none>" : prompts.messages.back().text; }
    std::string LastCaption() const { return prompts.messages.empty() ? "<none>" : prompts.messages.back().caption; }
};
