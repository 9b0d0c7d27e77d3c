// Edit/Options on the main window: the dialog shown modally over it, and the
// editor settings applied after OK only.
#include <windows.h>
#include <richedit.h>

#include "DialogSteps.h"
#include "LauncherWin32.h"
#include "MainWindowFixture.h"
#include "StandInSdk.h"

namespace {

class OptionsCommandTest : public MainWindowTest {
protected:
    std::string ini = TOptionsF::SettingsFileName();
    std::string kept;  // the qp.ini found beside the test program, put back afterwards

    void SetUp() override {
        kept = ReadFileBytes(ini);
        DeleteFileA(ini.c_str());
        RemoveDirectoryA(ini.c_str());
        MainWindowTest::SetUp();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        RemoveDirectoryA(ini.c_str());
        DeleteFileA(ini.c_str());
        if (kept != "<missing>") WriteFileBytes(ini, kept);
    }

    void Options(Steps& steps) {
        steps << [] {
            if (!OptionsF->Showing()) return;
            ADD_FAILURE() << "the dialog is still open";
            SendMessageA(OptionsF->CancelBB, BM_CLICK, 0, 0);
        };
        steps.Start();
        SendMessageA(QPadF->Handle(), WM_COMMAND, QPadF->FindAction("EditOptions")->id, 0);
        steps.Clear();
        ProcessMessages();  // WM_APPLYSETTINGS, when posted
    }
    std::string EditorFace() {
        CHARFORMATA cf = {};
        cf.cbSize = sizeof cf;
        SendMessageA(EditorWnd(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf.szFaceName;
    }
    static void ChooseArial(ScriptedPrompts& p) {
        ScriptedPrompts::FontAnswer arial = {};
        arial.font.lfHeight = -16;
        arial.font.lfWeight = FW_NORMAL;
        lstrcpyA(arial.font.lfFaceName, "Arial");
        p.fontAnswers.push_back(arial);
    }
};

TEST_F(OptionsCommandTest, CancelAppliesNothingAndOkAppliesAtOnce) {
    const struct {
        const char* name;
        bool ok;
    } cases[] = {{"Cancel", false}, {"OK", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChooseArial(prompts);
        Steps steps;
        steps << [&] {
            EXPECT_TRUE(OptionsF->Showing());
            EXPECT_FALSE(IsWindowEnabled(QPadF->Handle()));  // the main window takes no input
            EXPECT_EQ(GetWindow(OptionsF->Handle(), GW_OWNER), QPadF->Handle());
            EXPECT_EQ(OptionsF->ActivePage(), 0);
            SendMessageA(OptionsF->EdFontSB, BM_CLICK, 0, 0);
            // Without a settings file Cancel keeps the switch as left, so only OK turns it.
            if (c.ok) SendMessageA(OptionsF->AutoindentCB, BM_CLICK, 0, 0);
            EXPECT_EQ(EditorFace(), "Courier New");  // not before the dialog closes
            SendMessageA(c.ok ? OptionsF->OkBB : OptionsF->CancelBB, BM_CLICK, 0, 0);
        };
        Options(steps);
        EXPECT_TRUE(IsWindowEnabled(QPadF->Handle()));
        EXPECT_FALSE(IsWindowVisible(OptionsF->Handle()));
        EXPECT_EQ(EditorFace(), c.ok ? "Arial" : "Courier New");
        EXPECT_EQ(Editor().AutoIndent(), !c.ok);
        EXPECT_EQ(OptionsF->AutoIndent(), !c.ok);
        EXPECT_EQ(Exists(ini), c.ok);
    }
}

// The build commands read the templates through the store at the moment of use,
// so what is typed in the dialog is what the next Compile gets.
TEST_F(OptionsCommandTest, TypedTemplateIsWhatTheStoreGives) {
    Steps steps;
    steps << [] {
        HWND field = OptionsF->CompCommE;
        SetWindowTextA(field, "");
        SetFocus(field);
        for (char ch : std::string("-g %j")) SendMessageA(field, WM_CHAR, ch, 1);
        EXPECT_EQ(OptionsF->CompillerCommand(), "-g %j");
        SendMessageA(OptionsF->OkBB, BM_CLICK, 0, 0);
    };
    Options(steps);
    EXPECT_EQ(OptionsF->CompillerCommand(), "-g %j");
}

// A folder chosen in the dialog makes Compile usable at once, without a restart,
// and the compiler template typed there is what the next Compile runs.
TEST_F(OptionsCommandTest, ChosenSdkAndTypedTemplateReachTheNextCompile) {
    InitCompilerU();
    const std::string log = dir + "tools.log";
    standin::ScopedEnv logEnv("QP_FIXTURE_LOG", log);
    WriteFileBytes(dir + "Hello.java", "public class Hello {}\r\n");
    prompts.fileAnswers.push_back(dir + "Hello.java");
    Command("FileOpen1");
    ASSERT_FALSE(OptionsF->JavaSdkValid());

    std::string sdk = standin::SdkDir();
    sdk.pop_back();  // as the folder picker gives it, without the final backslash
    prompts.folderAnswers.push_back(sdk);
    Steps steps;
    steps << [] {
        SendMessageA(OptionsF->JDirSB, BM_CLICK, 0, 0);
        HWND field = OptionsF->CompCommE;
        SetWindowTextA(field, "");
        SetFocus(field);
        for (char ch : std::string("-g %j")) SendMessageA(field, WM_CHAR, ch, 1);
        SendMessageA(OptionsF->OkBB, BM_CLICK, 0, 0);
    };
    Options(steps);
    EXPECT_TRUE(OptionsF->JavaSdkValid());
    EXPECT_EQ(OptionsF->JavaSdkDir(), standin::SdkDir());

    Command("CodeCompile");
    std::string javac = standin::SdkDir() + "javac.exe";
    javac.insert(javac.begin(), '"');
    EXPECT_EQ(standin::ReadLog(log), std::vector<std::string>{javac + "\" -g \"" + dir + "Hello.java\""});
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(OptionsCommandTest, FailedSaveIsShownByTheProgramsHandler) {
    ASSERT_TRUE(CreateDirectoryA(ini.c_str(), nullptr));  // in the way of qp.ini
    prompts.messageAnswers = {IDOK};
    Steps steps;
    steps << [] { SendMessageA(OptionsF->OkBB, BM_CLICK, 0, 0); } << [&] {
        EXPECT_TRUE(OptionsF->Showing());
        SendMessageA(OptionsF->CancelBB, BM_CLICK, 0, 0);
    };
    Options(steps);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Unable to write to " + ini + ".");
    EXPECT_EQ(prompts.messages[0].caption, "Quillpad");
    EXPECT_EQ(prompts.messages[0].owner, OptionsF->Handle()) << "the dialog that failed owns the box";
}

}  // namespace
