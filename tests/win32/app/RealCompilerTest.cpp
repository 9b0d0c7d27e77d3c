// Compile and Run through the window with the machine's real Java tools, reached
// through the bridge SDK: the real compiler's diagnostics must land in the lists
// and the double-click must find them. Skipped, with the reason, where this
// machine has no JDK.
#include "BridgeSdkPath.h"
#include "BuildFixture.h"
#include "QPadBuildU.h"

namespace {

using Lines = std::vector<std::string>;

class RealCompilerTest : public BuildTest {
protected:
    void SetUp() override {
        BuildTest::SetUp();
        static const bool haveJdk = JdkAnswers();
        if (!haveJdk) GTEST_SKIP() << "no JDK on this machine (the bridge found no javac)";
        // Today's SDKs have a compiler and an interpreter but no applet viewer.
        sdk = dir + "sdk\\";
        CreateDirectoryA(sdk.c_str(), nullptr);
        for (const char* tool : {"javac.exe", "java.exe"})
            ASSERT_TRUE(CopyFileA((std::string(QP_BRIDGE_SDK_DIR) + tool).c_str(), (sdk + tool).c_str(), FALSE));
        options->UseSdk(sdk);
        ASSERT_TRUE(options->JavaSdkValid());
    }
    std::string sdk;

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

    // F9 with the console standing in as a file, which the interpreter and the
    // bridge inherit as their standard output; its bytes once the run has ended.
    std::string RunIntoConsole() {
        const std::string console = dir + "console.txt";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileA(console.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(out, INVALID_HANDLE_VALUE);
        HANDLE savedOut = GetStdHandle(STD_OUTPUT_HANDLE);
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        WriteFileBytes(dir + "release", "");  // the interpreter's /K ends once the program has
        standin::ScopedEnv release("QP_CONSOLE_RELEASE", dir + "release");
        Shortcut(VK_F9, false);
        SetStdHandle(STD_OUTPUT_HANDLE, savedOut);
        CloseHandle(out);
        return ReadFileBytes(console);
    }

    bool OutputHas(const std::string& text) {
        for (const std::string& line : Items(QPadF->CompillerLB()))
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
        {"Old.java", "public class Old {\n    Integer i = new Integer(5);\n}\n",
         {"No errors", "0002 0017  warning: [removal] Integer(int) in Integer has been deprecated and marked for removal"},
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
        const Lines output = Items(QPadF->CompillerLB());
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output[0], ">\"" + sdk + "javac.exe\" \"" + source + "\"");
        EXPECT_EQ(Items(QPadF->ErrorLB()), c.errors);
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
    // A warning is reached like an error.
    OpenSource("Old.java", cases[2].text);
    Shortcut(VK_F9, true);
    DoubleClickError(1);
    EXPECT_EQ(QPadF->PanelText(1), " 2 : 18");

    // Run Applet names the applet viewer the SDK lacks, and where it was looked for.
    OpenSource("Clock.java", "import java.applet.Applet;\npublic class Clock extends Applet {}\n");
    Shortcut(VK_F9, true);
    ASSERT_TRUE(Enabled("CodeRunApplet")) << LastMessage();
    prompts.messageAnswers.push_back(IDOK);
    Shortcut(VK_F10, false);
    EXPECT_EQ(LastMessage(), AppletViewerMissingText(sdk, "appletviewer.exe"));
}

// F9 on a clean class: the program's output reaches the console of the command
// interpreter (here a file standing in for it, which the interpreter and the
// bridge inherit as their standard output).
TEST_F(RealCompilerTest, RunShowsTheProgramsOutput) {
    standin::StandInShell standInShell;
    OpenSource("Hello.java",
               "public class Hello {\n    public static void main(String[] a) {\n"
               "        System.out.println(\"Hello from \" + a.length + \" args\");\n    }\n}\n");
    options->SetAppCommandLine("one two");
    Shortcut(VK_F9, true);
    ASSERT_TRUE(Enabled("CodeRun")) << LastMessage();

    const std::string console = RunIntoConsole();
    EXPECT_EQ(QPadF->PanelText(2), "Interpreter exit code:  0");
    EXPECT_EQ(console, "Hello from 2 args\r\n");
}

// Accented text, in the ANSI code page the editor writes or in UTF-8, and classes
// in packages: compiled with the right encoding and from the package root, run
// by their full names, the console showing the text as written.
TEST_F(RealCompilerTest, EncodingsAndPackages) {
    standin::StandInShell standInShell;
    const std::string ansi = JavaCharsetName(GetACP());
    const std::string greet = "Gr\xFC\xDF" "e";  // in the ANSI code page (1252 here)
    for (const char* folder : {"src", "src\\app", "src\\app\\util"}) CreateDirectoryA((dir + folder).c_str(), nullptr);
    WriteFileBytes(dir + "src\\app\\util\\Other.java",
                   "package app.util;\nclass Other {\n    static String who() { return \"Other\"; }\n}\n");
    const struct {
        const char* folder;
        std::string text;
        const char* encoding;  // "" for the ANSI code page's name
        const char* runAs;
        std::string console;   // "" for a row that is not run
        bool note;
    } cases[] = {
        {"", "public class Hello {\n public static void main(String[] a) {\n  System.out.println(\"" + greet + "\");\n }\n}\n",
         "", "Hello", greet + "\r\n", false},
        {"utf\\", "public class Hello {\n public static void main(String[] a) {\n  System.out.println(\"Gr\xC3\xBC\xC3\x9F" "e\");\n }\n}\n",
         "UTF-8", "Hello", greet + "\r\n", false},
        // Other.java is found only when the compiler runs in src.
        {"src\\app\\util\\", "/* util */ package app.util;\npublic class Hello {\n public static void main(String[] a) {\n"
         "  System.out.println(\"" + greet + " \" + Other.who());\n }\n}\n",
         "", "app.util.Hello", greet + " Other\r\n", false},
        {"elsewhere\\", "package app.util;\npublic class Hello {\n public static void main(String[] a) {}\n}\n", nullptr,
         "Hello", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        CreateDirectoryA((dir + c.folder).c_str(), nullptr);
        OpenSource(std::string(c.folder) + "Hello.java", c.text);
        Shortcut(VK_F9, true);
        const std::string source = dir + c.folder + "Hello.java";
        const std::string encoding = !c.encoding ? "" : "-encoding " + (*c.encoding ? c.encoding : ansi) + " ";
        Lines output = Items(QPadF->CompillerLB());
        ASSERT_FALSE(output.empty());
        EXPECT_EQ(output[0], ">\"" + sdk + "javac.exe\" " + encoding + "\"" + source + "\"");
        EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"No errors"}) << (output.size() > 1 ? output[1] : "");
        const std::string note = "Hello.java is in package app.util but not in a folder app\\util";
        EXPECT_EQ(output.size() > 1 && output[1].rfind(note, 0) == 0, c.note);
        EXPECT_EQ(QPadF->PanelText(2).rfind(note, 0) == 0, c.note);
        if (c.console.empty()) continue;
        EXPECT_EQ(RunIntoConsole(), c.console);
        const std::string batch = ReadFileBytes(RunBatchFileName);  // what Run's interpreter ran
        EXPECT_NE(batch.find("java.exe\" \"" + std::string(c.runAs) + "\""), std::string::npos) << batch;
    }
    EXPECT_TRUE(Exists(dir + "src\\app\\util\\Other.class"));
    EXPECT_TRUE(prompts.messages.empty()) << LastMessage();
}

// An ASCII-only class that uses a class stored in the ANSI code page beside it
// is compiled in that encoding; a source with a byte order mark, which javac
// refuses, loses the mark only when the user says so.
TEST_F(RealCompilerTest, SiblingsAndTheByteOrderMark) {
    standin::StandInShell standInShell;
    CreateDirectoryA((dir + "sib").c_str(), nullptr);
    WriteFileBytes(dir + "sib\\Greeter.java",
                   "class Greeter {\n    static String greet() { return \"caf\xE9\"; }\n}\n");
    OpenSource("sib\\Main.java", "public class Main {\n public static void main(String[] a) {\n"
                                  "  System.out.println(Greeter.greet());\n }\n}\n");
    Shortcut(VK_F9, true);
    EXPECT_TRUE(OutputHas(" -encoding " + JavaCharsetName(GetACP()) + " "));
    EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"No errors"});
    EXPECT_EQ(RunIntoConsole(), "caf\xE9\r\n");

    const std::string bom = "\xEF\xBB\xBFpublic class Hello {\n String s = \"\xCE\xBB \xE4\xBD\xA0\xE5\xA5\xBD\";\n}\n";
    OpenSource("Hello.java", bom);
    prompts.messageAnswers = {IDCANCEL};
    Shortcut(VK_F9, true);
    EXPECT_EQ(LastMessage(), "javac does not accept the byte order mark at the start of Hello.java.\r"
                             "Save it as UTF-8 without the mark and compile again?");
    EXPECT_EQ(ReadFileBytes(dir + "Hello.java"), bom);
    prompts.messageAnswers = {IDOK};
    Shortcut(VK_F9, true);
    EXPECT_EQ(Items(QPadF->ErrorLB()), Lines{"No errors"});
    EXPECT_EQ(ReadFileBytes(dir + "Hello.java"), bom.substr(3));
    EXPECT_EQ(QPadF->PanelText(3), "UTF-8  LF");
}

}  // namespace
