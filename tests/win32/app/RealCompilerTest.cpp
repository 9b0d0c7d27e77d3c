// Compile and Run through the window with the machine's real Java tools, reached
// through the bridge SDK: the real compiler's diagnostics must land in the lists
// and the double-click must find them. Skipped, with the reason, where this
// machine has no JDK.
#include "BridgeSdkPath.h"
#include "BuildFixture.h"

namespace {

using Lines = std::vector<std::string>;

class RealCompilerTest : public BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        static const bool haveJdk = JdkAnswers();
        if (!haveJdk) GTEST_SKIP() << "no JDK on this machine (the bridge found no javac)";
        options->UseSdk(QP_BRIDGE_SDK_DIR);
        ASSERT_TRUE(options->JavaSdkValid());
    }

    // javac -version through the bridge: 127 is the bridge's "no such tool".
    static bool JdkAnswers() {
        std::string line = "\"" + std::string(QP_BRIDGE_SDK_DIR) + "javac.exe\" -version";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                            &pi))
            return false;
        WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return code == 0;
    }

    bool OutputHas(const std::string& text) {
        for (const std::string& line : Items(QPadF->CompillerLB))
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

TEST_F(RealCompilerTest, DiagnosticsOfTheRealCompiler) {
    const struct {
        const char* name;
        const char* text;
        Lines errors;  // the error list
        const char* inOutput;
        bool success;
    } cases[] = {
        {"Hello.java", "public class Hello {\n    public static void main(String[] a) {}\n}\n", {"No errors"}, "",
         true},
        // Tabs: the compiler echoes them in its marker line, and each counts as one column.
        {"Broken.java",
         "public class Broken {\n\tpublic static void main(String[] args) {\n\t\tint x = \"s\";\n"
         "\t\tundefinedCall();\n\t}\n}\n",
         {"0003 0011  error: incompatible types: String cannot be converted to int",
          "0004 0003  error: cannot find symbol"},
         "2 errors", false},
        {"Old.java", "public class Old {\n    Integer i = new Integer(5);\n}\n", {"No errors"},
         "warning: [removal] Integer(int) in Integer has been deprecated", true},
        // The error lies in another file, which the compiler finds beside this one.
        {"Main.java", "public class Main {\n    int n = Other.count();\n}\n", {}, "Other.java:2: error:", false},
    };
    WriteFileBytes(dir + "Other.java", "public class Other {\n    static int count() { return \"x\"; }\n}\n");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenSource(c.name, c.text);
        Shortcut(VK_F9, true);
        const std::string source = dir + c.name;
        const Lines output = Items(QPadF->CompillerLB);
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output[0], ">\"" + std::string(QP_BRIDGE_SDK_DIR) + "javac.exe\" \"" + source + "\"");
        EXPECT_EQ(Items(QPadF->ErrorLB), c.errors);
        EXPECT_TRUE(OutputHas(c.inOutput)) << c.inOutput;
        // The compiler names the source exactly as the program gave it.
        if (!c.errors.empty() && c.errors[0] != "No errors") {
            EXPECT_EQ(output[1].rfind(source + ":", 0), 0u);
        }
        EXPECT_EQ(QPadF->PanelText(2), c.success ? "Compiller exit code:  0" : "Compiller exit code:  1");
        EXPECT_EQ(Enabled("CodeRun"), c.success);
        if (c.success) {
            std::string classFile = source;
            classFile.replace(classFile.size() - 4, 4, "class");
            EXPECT_TRUE(Exists(classFile));
        }
    }
    EXPECT_TRUE(prompts.messages.empty()) << LastMessage();

    // Back to the tab-indented source: the double-click lands just after the
    // character under the compiler's marker.
    OpenSource("Broken.java", cases[1].text);
    Shortcut(VK_F9, true);
    DoubleClickError(0);
    EXPECT_EQ(QPadF->PanelText(1), " 3 : 12");
    EXPECT_EQ(GetFocus(), EditorWnd());
    DoubleClickError(1);
    EXPECT_EQ(QPadF->PanelText(1), " 4 : 4");
}

// F9 on a clean class: the program's output reaches the console of the command
// interpreter (here a file standing in for it, which the interpreter and the
// bridge inherit as their standard output).
TEST_F(RealCompilerTest, RunShowsTheProgramsOutput) {
    standin::SdkOnPath path;
    OpenSource("Hello.java",
               "public class Hello {\n    public static void main(String[] a) {\n"
               "        System.out.println(\"Hello from \" + a.length + \" args\");\n    }\n}\n");
    options->SetAppCommandLine("one two");
    Shortcut(VK_F9, true);
    ASSERT_TRUE(Enabled("CodeRun")) << LastMessage();

    const std::string console = dir + "console.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(console.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(out, INVALID_HANDLE_VALUE);
    HANDLE savedOut = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, out);
    WriteFileBytes(dir + "release", "");  // the interpreter's /K ends once the program has
    standin::ScopedEnv release("QP_CONSOLE_RELEASE", dir + "release");
    Shortcut(VK_F9, false);
    SetStdHandle(STD_OUTPUT_HANDLE, savedOut);
    CloseHandle(out);

    EXPECT_EQ(QPadF->PanelText(2), "Interpreter exit code:  0");
    EXPECT_EQ(ReadFileBytes(console), "Hello from 2 args\r\n");
}

}  // namespace
