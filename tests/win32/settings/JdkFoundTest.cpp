// An installed JDK found where the settings name none: at creation, and in the
// options dialog's list, on the real environment, registry and folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "DialogSteps.h"
#include "OptionsFixture.h"

namespace {

using namespace settings_test;

// A variable of this process, as it was before, back at the end of the scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        char old[32768];
        DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
        had_ = n > 0 && n < sizeof old;
        if (had_) old_.assign(old, n);
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST_F(OptionsTest, InstalledJdkTakesTheFolderThatIsNotValid) {
    WriteAll(temp + "release", "IMPLEMENTOR=\"Test\"\r\nJAVA_VERSION=\"17.0.9\"\r\n");
    const struct {
        const char* name;
        std::string settings;  // qp.ini's text; none when empty
        std::string javaHome;
        bool found;
    } cases[] = {
        {"no qp.ini", "", temp, true},
        {"a folder without the tools", "[JavaSDK]\r\nDirectory=" + temp + "gone\\bin\\\r\n", temp, true},
        {"JAVA_HOME names no JDK", "", sdk, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(ini.c_str());
        if (!c.settings.empty()) WriteAll(ini, c.settings);
        ScopedEnvironment home("JAVA_HOME", c.javaHome);
        prompts.messages.clear();
        if (!c.found) prompts.messageAnswers = {IDOK};
        TOptionsF options(nullptr, TOptionsF::Window::OnFirstShow);
        EXPECT_EQ(options.JavaSdkValid(), c.found);
        if (c.found) {
            EXPECT_TRUE(prompts.messages.empty());
            EXPECT_EQ(options.JavaSdkDir(), sdk);
            EXPECT_EQ(Profile(ini, "JavaSDK", "Directory"), sdk);
            EXPECT_EQ(options.JdkFoundAtCreation(), "Using JDK 17.0.9 (" + sdk + ")");
        } else {
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_EQ(prompts.messages[0].text, kNoSdkMessage);
            EXPECT_FALSE(Exists(ini));
            EXPECT_EQ(options.JdkFoundAtCreation(), "");
        }
    }
}

// The page's list, under the folder field, is filled as it opens, newest first;
// Enter there picks one into the field and leaves the dialog open.
TEST_F(OptionsTest, JdkListOnTheJavaSdkPage) {
    WriteIni("");
    const std::string newer = temp + ".jdks\\jdk-21\\";
    for (const std::string& dir : {temp + ".jdks", newer, newer + "bin"}) CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* file : {"bin\\javac.exe", "bin\\java.exe"}) WriteAll(newer + file, "");
    WriteAll(newer + "release", "JAVA_VERSION=\"21.0.1\"\n");
    ScopedEnvironment home("JAVA_HOME", temp), profile("USERPROFILE", temp);
    TOptionsF o;
    auto key = [](UINT vk) { PostMessageA(GetFocus(), WM_KEYDOWN, vk, (MapVirtualKeyA(vk, MAPVK_VK_TO_VSC) << 16) | 1); };
    auto text = [](HWND list, int i) {
        char item[MAX_PATH * 2] = "";
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        return std::string(item);
    };
    std::string picked;
    bool openAfterPick = false;
    Steps steps;
    steps << [&] {
        EXPECT_EQ(SendMessageA(o.JdkListCB, CB_GETCOUNT, 0, 0), 0);  // not searched yet
        SetFocus(o.JdkListCB);
        SendMessageA(o.JdkListCB, CB_SHOWDROPDOWN, TRUE, 0);
        EXPECT_EQ(SendMessageA(o.JdkListCB, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(text(o.JdkListCB, 0), "21.0.1   " + newer);
        EXPECT_EQ(text(o.JdkListCB, 1), "(version unknown)   " + temp);
        key(VK_DOWN);
    } << [&] { key(VK_RETURN); } << [&] {
        openAfterPick = o.Showing();
        picked = o.JavaSdkDir();
        key(VK_ESCAPE);
    } << [&] {
        if (o.Showing()) SendMessageA(o.CancelBB, BM_CLICK, 0, 0);
    };
    steps.Start();
    EXPECT_EQ(o.ShowModal(nullptr), IDCANCEL);
    EXPECT_TRUE(openAfterPick);
    EXPECT_EQ(picked, newer + "bin\\");

    // Between the folder field and the tools' rows; the note still shows its six lines.
    RECT dir, list, compiler, memo, page, lines;
    for (auto [hwnd, r] : {std::pair{o.JDirE, &dir}, {o.JdkListCB, &list}, {o.CompE, &compiler}, {o.Memo1, &memo},
                           {o.JavaSdkTS, &page}})
        GetWindowRect(hwnd, r);
    EXPECT_GE(list.top, dir.bottom);
    EXPECT_LE(list.bottom, compiler.top);
    EXPECT_LE(memo.bottom, page.bottom);
    SendMessageA(o.Memo1, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&lines));
    auto lineTop = [&](int line) {
        return HIWORD(SendMessageA(o.Memo1, EM_POSFROMCHAR, SendMessageA(o.Memo1, EM_LINEINDEX, line, 0), 0));
    };
    EXPECT_LE(lineTop(5) + (lineTop(1) - lineTop(0)), lines.bottom);
}

}  // namespace
