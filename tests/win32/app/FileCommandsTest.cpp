// New, Open, Save, Save As and Exit on the real window with files on disk,
// the questions they ask, and the rules that keep the user's work.
#include "MainWindowFixture.h"
#include "SourceFiles.h"

#include <shlobj.h>

#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <stdexcept>

namespace {

const UINT kConfirm = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1;

class FileCommandsTest : public MainWindowTest {
protected:
    // Opens path; the save-changes question, if asked, needs its own scripted answer.
    void Open(const std::string& path) {
        prompts.fileAnswers.push_back(path);
        Command("FileOpen1");
    }
    void ExpectConfirm(std::size_t index, const std::string& text) {
        ASSERT_GT(prompts.messages.size(), index);
        EXPECT_EQ(prompts.messages[index].text, text);
        EXPECT_EQ(prompts.messages[index].caption, "Confirm");
        EXPECT_EQ(prompts.messages[index].type, kConfirm);
    }
};

TEST_F(FileCommandsTest, DialogsAreAskedAsDesigned) {
    std::string path = dir + "Hello.java";
    WriteFileBytes(path, "class Hello {}\r\n");
    Open(path);
    prompts.fileAnswers.push_back("");
    Command("FileSaveAs1");
    ASSERT_EQ(prompts.fileDialogs.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        const FileDialogRequest& d = prompts.fileDialogs[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(d.save, i == 1);
        EXPECT_EQ(d.filter, "All Files (*.*)|*.*|Java code|*.java");
        EXPECT_EQ(d.filterIndex, 2);
        EXPECT_EQ(d.defaultExt, "java");
        EXPECT_TRUE(d.flags & OFN_HIDEREADONLY);
        EXPECT_TRUE(d.flags & OFN_ENABLESIZING);
        EXPECT_FALSE(d.flags & OFN_OVERWRITEPROMPT);
        EXPECT_FALSE(d.flags & OFN_NOCHANGEDIR);
        EXPECT_EQ(d.fileName, "") << "nothing chosen in this dialog yet";
    }
    // Each dialog offers the name last chosen in it, and only in it.
    prompts.fileAnswers.push_back("");
    Command("FileOpen1");
    EXPECT_EQ(prompts.fileDialogs.back().fileName, path);
    prompts.fileAnswers.push_back("");
    Command("FileSaveAs1");
    EXPECT_EQ(prompts.fileDialogs.back().fileName, "");
}

TEST_F(FileCommandsTest, OpenLoadsTheFileWhole) {
    const std::string bytes = "class Hello {\r\n\tint x;  // \xE9\xE8\r\n}\r\n";
    std::string path = dir + "Hello.java";
    WriteFileBytes(path, bytes);
    WriteFileBytes(dir + "Hello.ini", "[Parameters]\r\nCommandLine=a b\r\nHTML=C:\\pages\\Page.html\r\n");
    AddItem(QPadF->ErrorLB(), "0001 0001  x");
    AddItem(QPadF->CompillerLB(), "> x");
    Type("typed");
    prompts.messageAnswers = {IDNO};
    Open(path);
    ExpectConfirm(0, "Save changes to Untitled.java?");
    EXPECT_EQ(Editor().Text(), bytes);
    EXPECT_EQ(QPadF->FileName(), path);
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Hello.java");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_TRUE(Items(QPadF->ErrorLB()).empty());
    EXPECT_TRUE(Items(QPadF->CompillerLB()).empty());
    EXPECT_EQ(QPadF->PanelText(1), " 1 : 1");
    EXPECT_EQ(QPadF->PanelText(2), "");
    EXPECT_EQ(OptionsF->AppCommandLine(), "a b");
    EXPECT_EQ(OptionsF->AppletHtmlFile(), "Page.html");
    EXPECT_EQ(GetFocus(), EditorWnd());
    EXPECT_FALSE(Editor().ReadOnly());
}

TEST_F(FileCommandsTest, OpenFailureChangesNothing) {
    std::string good = dir + "Good.java";
    WriteFileBytes(good, "class Good {}");
    WriteFileBytes(dir + "Good.ini", "[Parameters]\r\nCommandLine=keep\r\n");
    Open(good);
    CreateDirectoryA((dir + "Folder.java").c_str(), nullptr);
    HANDLE locked = CreateFileA((dir + "Locked.java").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string bad[] = {dir + "Missing.java", dir + "Folder.java", dir + "Locked.java",
                               dir + "NoSuchDir\\A.java"};
    for (const std::string& path : bad) {
        SCOPED_TRACE(path);
        prompts.messages.clear();
        prompts.messageAnswers = {IDOK};
        Open(path);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].caption, "Quillpad");
        EXPECT_EQ(prompts.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_NE(prompts.messages[0].text.find(path), std::string::npos) << prompts.messages[0].text;
        EXPECT_EQ(Editor().Text(), "class Good {}");
        EXPECT_EQ(QPadF->FileName(), good);
        EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Good.java");
        EXPECT_EQ(OptionsF->AppCommandLine(), "keep");
        EXPECT_FALSE(Editor().Modified());
        EXPECT_EQ(QPadF->PanelText(2), "Opening file...");
    }
    CloseHandle(locked);
}

TEST_F(FileCommandsTest, OpenQuestionAnswers) {
    std::string path = dir + "A.java";
    WriteFileBytes(path, "A");
    Type("mine");
    // Cancel: nothing further happens, no dialog.
    prompts.messageAnswers = {IDCANCEL};
    Command("FileOpen1");
    EXPECT_TRUE(prompts.fileDialogs.empty());
    EXPECT_EQ(Editor().Text(), "mine");
    EXPECT_TRUE(Editor().Modified());
    // No, then cancelling the dialog: the old text stays, still modified.
    prompts.messageAnswers = {IDNO};
    prompts.fileAnswers = {""};
    Command("FileOpen1");
    EXPECT_EQ(Editor().Text(), "mine");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(QPadF->FileName(), "Untitled.java");
}

TEST_F(FileCommandsTest, YesWithoutASaveKeepsTheWork) {
    std::string other = dir + "Other.java";
    WriteFileBytes(other, "other");
    std::string existing = dir + "Existing.java";
    WriteFileBytes(existing, "existing");
    Type("precious");

    // Yes, then cancelling the Save As dialog: Open stops before its dialog.
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {""};
    Command("FileOpen1");
    EXPECT_EQ(prompts.fileDialogs.size(), 1u) << "only the Save As dialog was shown";
    EXPECT_EQ(Editor().Text(), "precious");
    EXPECT_TRUE(Editor().Modified());

    // Yes, then declining to overwrite: likewise.
    prompts.messageAnswers = {IDYES, IDNO};
    prompts.fileAnswers = {existing};
    Command("FileOpen1");
    EXPECT_EQ(ReadFileBytes(existing), "existing");
    EXPECT_EQ(Editor().Text(), "precious");

    // New and closing too.
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {""};
    Command("FileNew1");
    EXPECT_EQ(Editor().Text(), "precious");
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {""};
    SendMessageA(QPadF->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(IsWindow(QPadF->Handle()));
    EXPECT_EQ(Editor().Text(), "precious");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(QPadF->FileName(), "Untitled.java");

    // Yes with a real save goes on: the text is saved, then the other file opens.
    std::string saved = dir + "Saved.java";
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {saved, other};
    Command("FileOpen1");
    EXPECT_EQ(ReadFileBytes(saved), "precious");
    EXPECT_EQ(Editor().Text(), "other");
    EXPECT_EQ(QPadF->FileName(), other);
}

TEST_F(FileCommandsTest, NewAsksBeforeItDiscards) {
    // The text the program starts with is the one New makes, though its editor
    // is the one made with the window.
    auto state = [&] {
        return std::vector<std::string>{Caption(QPadF->Handle()), QPadF->PanelText(1), QPadF->PanelText(2),
                                        QPadF->PanelText(3), Editor().Text()};
    };
    const std::vector<std::string> atStart = state();
    const bool canUndo = SendMessageA(EditorWnd(), EM_CANUNDO, 0, 0) != 0;
    Command("FileNew1");  // unmodified: no question
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(state(), atStart);
    EXPECT_FALSE(canUndo);
    EXPECT_FALSE(Editor().Modified());
    Type("work");
    prompts.messageAnswers = {IDCANCEL};
    Command("FileNew1");
    ExpectConfirm(0, "Save changes to Untitled.java?");
    EXPECT_EQ(Editor().Text(), "work");
    EXPECT_TRUE(Editor().Modified());
    prompts.messageAnswers = {IDNO};
    Command("FileNew1");
    EXPECT_EQ(Editor().Text(), "");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Untitled.java");
    EXPECT_EQ(OptionsF->SourceFile(), "Untitled.java");
}

// The window, and the text it starts with, come before the settings are read;
// the settings are on them by the time the window shows.
class NewFilesInUtf8Test : public FileCommandsTest {
protected:
    static inline std::string panelWhenShown;
    static LRESULT CALLBACK WhenShown(int code, WPARAM wParam, LPARAM lParam) {
        const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam && m->hwnd == QPadF->Handle())
            panelWhenShown = QPadF->PanelText(3);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook = nullptr;
    void BeforeShow() override {
        OptionsF->SetNewFilesUtf8(true);
        hook = SetWindowsHookExA(WH_CALLWNDPROC, &WhenShown, nullptr, GetCurrentThreadId());
    }
};

TEST_F(NewFilesInUtf8Test, TheFirstTextIsANewOne) {
    UnhookWindowsHookEx(hook);
    const std::string panel = QPadF->PanelText(3);
    EXPECT_EQ(panel.rfind("UTF-8", 0), 0u) << panel;
    EXPECT_EQ(panelWhenShown, panel);
    EXPECT_EQ(OptionsF->SourceFile(), "Untitled.java");
    Command("FileNew1");
    EXPECT_EQ(QPadF->PanelText(3), panel);
}

TEST_F(FileCommandsTest, SaveUntitledAsksForAName) {
    Type("class A {}");
    prompts.fileAnswers = {""};
    Command("FileSave1");
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_TRUE(prompts.fileDialogs[0].save);
    EXPECT_EQ(QPadF->FileName(), "Untitled.java");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(QPadF->PanelText(2), "");

    // A file named Untitled.java saved through Save As is written directly afterwards.
    std::string path = dir + "Untitled.java";
    prompts.fileAnswers = {path};
    Command("FileSave1");
    EXPECT_EQ(ReadFileBytes(path), "class A {}");
    EXPECT_EQ(QPadF->FileName(), path);
    EXPECT_FALSE(Editor().Modified());
    Type("x");
    Command("FileSave1");
    EXPECT_EQ(ReadFileBytes(path), "class A {}x");
    EXPECT_EQ(prompts.fileDialogs.size(), 2u);
}

TEST_F(FileCommandsTest, SaveAsOverwriteQuestion) {
    std::string mine = dir + "Mine.java";
    std::string theirs = dir + "Theirs.java";
    WriteFileBytes(mine, "old");
    WriteFileBytes(theirs, "theirs");
    WriteFileBytes(dir + "Theirs.ini", "[Parameters]\r\nCommandLine=theirs\r\n");
    Open(mine);
    Type("new ");

    for (int answer : {IDNO, IDCANCEL}) {
        prompts.messages.clear();
        prompts.messageAnswers = {answer};
        prompts.fileAnswers = {theirs};
        Command("FileSaveAs1");
        ExpectConfirm(0, "OK to overwrite " + theirs);
        EXPECT_EQ(ReadFileBytes(theirs), "theirs");
        EXPECT_EQ(QPadF->FileName(), mine);
        EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Mine.java");
        EXPECT_TRUE(Editor().Modified());
    }
    // Onto its own name: asked too, Yes writes it.
    prompts.messages.clear();
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {mine};
    Command("FileSaveAs1");
    ExpectConfirm(0, "OK to overwrite " + mine);
    EXPECT_EQ(ReadFileBytes(mine), "new old");
    EXPECT_FALSE(Editor().Modified());

    // Yes onto another file: written, the name and its project options follow.
    AddItem(QPadF->ErrorLB(), "kept");
    prompts.messageAnswers = {IDYES};
    prompts.fileAnswers = {theirs};
    Command("FileSaveAs1");
    EXPECT_EQ(ReadFileBytes(theirs), "new old");
    EXPECT_EQ(QPadF->FileName(), theirs);
    EXPECT_EQ(OptionsF->AppCommandLine(), "theirs");
    EXPECT_EQ(Items(QPadF->ErrorLB()), std::vector<std::string>{"kept"}) << "Save As leaves the lists";
}

TEST_F(FileCommandsTest, FailedSaveKeepsTheOldFileAndTheFlag) {
    std::string path = dir + "Keep.java";
    WriteFileBytes(path, "on disk");
    Open(path);
    Type("edited ");

    // Read-only target.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    prompts.messageAnswers = {IDOK};
    Command("FileSave1");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find(path), std::string::npos) << prompts.messages[0].text;
    EXPECT_EQ(ReadFileBytes(path), "on disk");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(QPadF->PanelText(2), "Saving file...");

    // The target held open by another program: the replace fails after the
    // new text was written beside it; the old file stays whole, no leftovers.
    HANDLE other = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    prompts.messageAnswers = {IDOK};
    Command("FileSave1");
    CloseHandle(other);
    EXPECT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(ReadFileBytes(path), "on disk");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(FilesInDir(), std::vector<std::string>{"Keep.java"});

    // Save As into a folder that does not exist: nothing after the write happens.
    prompts.messageAnswers = {IDOK};
    prompts.fileAnswers = {dir + "Gone\\New.java"};
    Command("FileSaveAs1");
    EXPECT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(QPadF->FileName(), path);
    EXPECT_TRUE(Editor().Modified());

    // And now it can be saved.
    Command("FileSave1");
    EXPECT_EQ(ReadFileBytes(path), "edited on disk");
    EXPECT_FALSE(Editor().Modified());
}

// A save that fails while closing or at log-off keeps the window open and
// says why, in Save's own box.
TEST_F(FileCommandsTest, ClosingWithAFailedSaveStaysOpenAndSaysWhy) {
    const std::string path = dir + "Ro.java";
    WriteFileBytes(path, "ro");
    Open(path);
    Type("x");
    for (auto [message, lParam] : {std::pair<UINT, LPARAM>{WM_CLOSE, 0}, {WM_QUERYENDSESSION, ENDSESSION_LOGOFF}}) {
        prompts.messages.clear();
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        prompts.messageAnswers = {IDYES, IDOK};
        EXPECT_EQ(SendMessageA(QPadF->Handle(), message, 0, lParam), 0);  // log-off: FALSE, not now
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(IsWindow(QPadF->Handle()));
        ASSERT_EQ(prompts.messages.size(), 2u) << "the question, then the failure";
        const std::string& text = prompts.messages[1].text;
        EXPECT_EQ(text.rfind("Cannot save file " + path + "\r", 0), 0u) << text;
        EXPECT_GT(text.size(), path.size() + 18) << "and the reason";
        EXPECT_EQ(prompts.messages[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
        EXPECT_TRUE(Editor().Modified());
    }
}

// A file another program changed or deleted is never saved over without a
// word: seen when the program is activated (once no modal box is up) and before a save.
TEST_F(FileCommandsTest, AFileChangedByAnotherProgram) {
    const std::string path = dir + "W.java", before = "class W {\r\n    int a;\r\n    int b;\r\n}\r\n",
                      edited = "class W {\r\n    int a;\r\nx    int b;\r\n}\r\n", after = before + "// c\r\n";
    const std::string reloaded = "Reloaded: changed by another program";
    const std::string asked = "W.java has been changed by another program. Reload it and lose your changes?";
    enum Seen { Activation, UnderModalBox, Save };
    const struct {
        const char* what;
        bool edit, remove;  // "x" typed on the third line; the file deleted rather than rewritten
        Seen seen;
        std::deque<int> answers;
        std::string text, status;  // the editor's text and panel 2 afterwards
    } rows[] = {
        {"unmodified", false, false, Activation, {}, after, reloaded},
        {"unmodified, a modal box up", false, false, UnderModalBox, {}, after, reloaded},
        {"modified, Yes", true, false, Activation, {IDYES}, after, reloaded},
        {"modified, No", true, false, Activation, {IDNO}, edited, ""},
        {"modified, at Save, No", true, false, Save, {IDNO}, edited, ""},
        {"deleted", false, true, Activation, {IDOK}, before, "Deleted or renamed by another program"},
    };
    auto activate = [&] {
        SendMessageA(QPadF->Handle(), WM_ACTIVATEAPP, TRUE, 0);
        ProcessMessages();
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteFileBytes(path, before);
        Open(path);
        Editor().SetSelStart(Editor().LineIndex(2));
        if (row.edit) Type("x");
        row.remove ? (void)DeleteFileA(path.c_str()) : WriteFileBytes(path, after);
        prompts.messages.clear();
        prompts.messageAnswers = row.answers;
        EnableWindow(QPadF->Handle(), row.seen != UnderModalBox);
        row.seen == Save ? (void)Command("FileSave1") : activate();
        EXPECT_EQ(Editor().Text(), row.seen == UnderModalBox ? before : row.text);
        EnableWindow(QPadF->Handle(), TRUE);
        ProcessMessages();
        ASSERT_EQ(prompts.messages.size(), row.answers.size());
        if (!row.answers.empty()) {
            EXPECT_EQ(prompts.messages[0].text.rfind(row.remove ? "W.java has been deleted or renamed" : asked, 0), 0u);
        }
        EXPECT_EQ(Editor().Text(), row.text);
        EXPECT_EQ(Editor().Modified(), row.text != after && row.seen != Save);
        EXPECT_EQ(QPadF->PanelText(2), row.status);
        EXPECT_EQ(Editor().LineFromChar(Editor().SelStart()), 2) << "the caret's line kept";
        // Told once: the save writes the text with no second question.
        Command("FileSave1");
        activate();
        EXPECT_EQ(prompts.messages.size(), row.answers.size());
        EXPECT_EQ(ReadFileBytes(path), row.text);
    }
}

TEST_F(FileCommandsTest, RoundTripsBytesAndOddFiles) {
    const struct { const char* name; std::string bytes; } files[] = {
        {"CrLf.java", "a\r\n\tb\r\n\r\n"},
        {"Empty.java", ""},
        {"High.java", "// \x80\x81\xFE\xFF\r\n"},
        {"NoBreak.java", std::string(70000, 'x')},   // past the platform's default limit
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        std::string path = dir + f.name;
        WriteFileBytes(path, f.bytes);
        Open(path);
        EXPECT_EQ(Editor().Text(), f.bytes);
        std::string copy = dir + "copy-" + f.name;
        prompts.fileAnswers = {copy};
        Command("FileSaveAs1");
        EXPECT_EQ(ReadFileBytes(copy), f.bytes);
    }
    // A zero byte and binary junk must neither crash nor hang.
    std::string junk = dir + "junk.bin";
    std::string bytes;
    for (int i = 0; i < 4096; ++i) bytes.push_back(static_cast<char>((i * 7919) & 0xFF));
    bytes[10] = '\0';
    WriteFileBytes(junk, bytes);
    Open(junk);
    EXPECT_EQ(QPadF->FileName(), junk);
    Type("z");
    EXPECT_TRUE(Editor().Modified());
}

// Every file opened and saved with no change is the same file, byte for byte,
// and an edit is saved in the file's own encoding and line ends.
TEST_F(FileCommandsTest, FilesKeepTheirFormThroughOpenAndSave) {
    std::string high;  // every byte past ASCII, as the ANSI code page holds them
    for (int b = 0x80; b <= 0xFF; ++b) high.push_back(static_cast<char>(b));
    const struct {
        const char* name;
        std::string bytes;
        const char* panel;
        std::u16string typed;  // typed on a new first line
        std::string saved;     // the first line and break as saved
    } files[] = {
        {"Bom.java", "\xEF\xBB\xBF" "class A { String s = \"\xCE\xBB \xE4\xBD\xA0\xE5\xA5\xBD \xE2\x82\xAC caf\xC3\xA9\"; }\r\n",
         "UTF-8 BOM  CRLF", u"\u03A9", "\xEF\xBB\xBF\xCE\xA9\r\n"},
        {"Plain.java", "// Gr\xC3\xBC\xC3\x9F" "e, caf\xC3\xA9\n", "UTF-8  LF", u"\u00E9", "\xC3\xA9\n"},
        {"Greek.java", "// \xCE\xB1\xCE\xB2\xCE\xB3\r\n", "UTF-8  CRLF", u"x", "x\r\n"},
        {"Emoji.java", "// \xF0\x9F\x98\x80 \xF0\x9D\x84\x9E\n", "UTF-8  LF", u"\U0001F600", "\xF0\x9F\x98\x80\n"},
        {"Ansi.java", "// " + high + "\r\n", "ANSI  CRLF", u"\u00E9", "\xE9\r\n"},
        {"Lf.java", "a\n\tb\n\n", "ANSI  LF", u"x", "x\n"},
        {"Cr.java", "a\rb\r", "ANSI  CR", u"x", "x\r"},
        {"Mixed.java", "a\nb\r\nc\rd\n\n", "ANSI  LF", u"x", "x\n"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = dir + f.name;
        WriteFileBytes(path, f.bytes);
        Open(path);
        EXPECT_TRUE(Editor().Faithful());
        EXPECT_EQ(QPadF->PanelText(3), f.panel);
        Command("FileSave1");
        EXPECT_EQ(ReadFileBytes(path), f.bytes);

        Editor().SetSelStart(0);
        for (char16_t unit : f.typed) SendMessageW(EditorWnd(), WM_CHAR, unit, 1);
        Key(VK_RETURN, '\r');
        Command("FileSave1");
        const std::size_t mark = f.bytes.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
        EXPECT_EQ(ReadFileBytes(path), f.saved + f.bytes.substr(mark));
    }
}

// A file that does not come back from the editor as it was stored (a mark
// before bytes that are no UTF-8) is shown read-only and never saved.
TEST_F(FileCommandsTest, AFileTheEditorCannotHoldIsNeverSaved) {
    const std::string path = dir + "Odd.java", bytes = "\xEF\xBB\xBF" "caf\xE9\r\n";
    WriteFileBytes(path, bytes);
    prompts.messageAnswers = {IDOK, IDOK};
    Open(path);
    EXPECT_TRUE(Editor().ReadOnly());
    Command("FileSave1");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[0].text.rfind("The editor cannot show every character of " + path, 0), 0u);
    EXPECT_EQ(prompts.messages[1].text.rfind("Cannot save file " + path, 0), 0u) << prompts.messages[1].text;
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

// A character the file's encoding lacks is never saved as '?'.
TEST_F(FileCommandsTest, SaveAsksBeforeAnEncodingLosesACharacter) {
    const std::string path = dir + "Omega.java";
    WriteFileBytes(path, "x\ny\r\ncaf\xE9\n");  // mixed line ends
    Open(path);
    SendMessageW(EditorWnd(), WM_CHAR, 0x03A9, 1);
    prompts.messageAnswers = {IDCANCEL};
    Command("FileSave1");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Omega.java has characters that ANSI cannot hold.\rSave it as UTF-8 instead?");
    EXPECT_EQ(ReadFileBytes(path), "x\ny\r\ncaf\xE9\n");
    EXPECT_TRUE(Editor().Modified());
    prompts.messageAnswers = {IDOK};
    Command("FileSave1");
    EXPECT_EQ(ReadFileBytes(path), "\xCE\xA9x\ny\r\ncaf\xC3\xA9\n");
    EXPECT_EQ(QPadF->PanelText(3), "UTF-8  LF");
    EXPECT_FALSE(Editor().Modified());
    Command("FileNew1");
    EXPECT_EQ(QPadF->PanelText(3), "ANSI  CRLF");
    OptionsF->SetNewFilesUtf8(true);  // new files start in UTF-8 when the setting says so
    Command("FileNew1");
    EXPECT_EQ(QPadF->PanelText(3), "UTF-8  CRLF");
}

// Files whose full path reaches the platform's limit save in place, with the
// same write-beside-then-replace; a path one longer is refused by name.
TEST_F(FileCommandsTest, LongPathsSaveInPlace) {
    // A short folder near the root leaves room for a name at the length limit.
    const std::string root = "C:\\qp" + std::to_string(GetCurrentProcessId() % 1000) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);
    struct Case {
        std::size_t length;
        bool longName;  // one long name in a short folder rather than a deep folder
    };
    for (const Case& c : {Case{250, false}, Case{255, false}, Case{259, false}, Case{259, true}}) {
        SCOPED_TRACE(std::to_string(c.length) + (c.longName ? " long name" : ""));
        // Folders of 60 characters until the name fits in the rest.
        std::string folder = c.longName ? root : dir;
        while (!c.longName && folder.size() + 60 + 12 < c.length) {
            folder += std::string(59, 'd') + "\\";
            ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        }
        const std::string path = folder + std::string(c.length - folder.size() - 5, 'N') + ".java";
        ASSERT_EQ(path.size(), c.length);
        WriteFileBytes(path, "class N {}\r\n");
        Open(path);
        Type("// ");
        Command("FileSave1");
        EXPECT_TRUE(prompts.messages.empty()) << (prompts.messages.empty() ? "" : prompts.messages[0].text);
        EXPECT_EQ(ReadFileBytes(path), "// class N {}\r\n");
        EXPECT_FALSE(Editor().Modified());
        EXPECT_EQ(QPadF->PanelText(2), "");
        // Nothing left beside it.
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        int files = 0;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        EXPECT_EQ(files, 1);
        DeleteFileA(path.c_str());
        prompts.messages.clear();
    }
    RemoveDirectoryA(root.c_str());

    // One character more cannot be opened again, so it is not written.
    std::string folder = dir;
    while (folder.size() + 60 + 12 < 260) folder += std::string(59, 'd') + "\\";
    const std::string tooLong = folder + std::string(260 - folder.size() - 5, 'N') + ".java";
    const std::string before = QPadF->FileName();
    Type("x");
    prompts.messageAnswers = {IDOK};
    prompts.fileAnswers = {tooLong};
    Command("FileSaveAs1");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.find("Cannot save file " + tooLong + "\r"), 0u) << prompts.messages[0].text;
    EXPECT_EQ(QPadF->FileName(), before);
    EXPECT_TRUE(Editor().Modified());
}

// A big source followed by another text must not freeze the window: the old
// control dropping its text once took minutes. The bound only guards against
// that coming back; the benchmark has the real figures.
TEST_F(FileCommandsTest, BigSourceThenSmallThenNewAnswersQuickly) {
    std::string big;
    for (int i = 0; big.size() < 1024 * 1024; ++i)
        big += "    static int method" + std::to_string(i) + "(int a) { return a * " + std::to_string(i % 89) + "; }\r\n";
    const std::string bigPath = dir + "Big.java", smallPath = dir + "Small.java";
    WriteFileBytes(bigPath, big);
    WriteFileBytes(smallPath, "class Small {\r\n    int x;\r\n}\r\n");
    auto command = [&](const char* action) {
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(QPadF->FindAction(action)->id, 0), 0);
        ProcessMessages();
    };
    const auto start = std::chrono::steady_clock::now();

    prompts.fileAnswers = {bigPath};
    command("FileOpen1");
    EXPECT_EQ(Editor().Text().size(), big.size());
    prompts.fileAnswers = {smallPath};
    command("FileOpen1");
    EXPECT_EQ(Editor().Text(), "class Small {\r\n    int x;\r\n}\r\n");
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Small.java");
    EXPECT_FALSE(Editor().Modified());
    command("EditUndo1");
    EXPECT_EQ(Editor().Text(), "class Small {\r\n    int x;\r\n}\r\n") << "nothing of Big.java to undo";
    Editor().SetSelStart(25);  // behind "int x;"
    Type("\nint y;");
    EXPECT_EQ(Editor().Text(), "class Small {\r\n    int x;\r\n    int y;\r\n}\r\n");

    prompts.messageAnswers = {IDNO};  // discard "int y;"
    command("FileNew1");
    EXPECT_EQ(Editor().Text(), "");
    EXPECT_EQ(Caption(QPadF->Handle()), "Quillpad: Untitled.java");
    EXPECT_FALSE(Editor().Modified());
    EXPECT_FALSE(Editor().CanUndo());
    EXPECT_EQ(GetFocus(), EditorWnd());
    Type("a\n");
    EXPECT_EQ(Editor().Text(), "a\r\n");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

}  // namespace

TEST_F(FileCommandsTest, OpenPastTheSizeLimitRefusesBeforeLoading) {
    const std::string small = dir + "Small.java";
    WriteFileBytes(small, "class Small {}\r\n");
    Open(small);
    Type("x");
    // One byte past the limit; its length set without writing, so it is made at once.
    const std::string big = dir + "Big.java";
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(kMaxSourceSize + 1);
    SetFilePointerEx(h, end, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);

    prompts.messageAnswers = {IDNO, IDOK};  // keep the edit unsaved, then the refusal
    const DWORD t0 = GetTickCount();
    Open(big);
    EXPECT_LT(GetTickCount() - t0, 3000u) << "refused by its size, not after loading";
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, "Cannot open file " + big + "\rThe file is 4,194,305 bytes; the editor holds "
                                        "4 MB (4,194,304 bytes) at most.");
    EXPECT_EQ(Editor().Text(), "xclass Small {}\r\n");
    EXPECT_TRUE(Editor().Modified());
    EXPECT_EQ(QPadF->FileName(), small);
}

// Files dropped on the window as the shell drops them: one opens after the
// save-changes question; a folder or two files are refused with a message.
// Each opened file heads the recent list; a vanished one leaves it with a message.
TEST_F(FileCommandsTest, DroppedFilesAndTheRecentList) {
    const std::string a = dir + "A.java", b = dir + "B.java";
    WriteFileBytes(a, "class A {}\r\n");
    WriteFileBytes(b, "class B {}\r\n");
    auto drop = [&](const std::vector<std::string>& names) {
        std::string list;
        for (const std::string& n : names) list += n + '\0';
        HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() + 1);
        auto* files = static_cast<DROPFILES*>(GlobalLock(mem));
        files->pFiles = sizeof(DROPFILES);
        std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), list.data(), list.size());
        GlobalUnlock(mem);
        // The shell drops files only on a window that accepts them.
        EXPECT_TRUE(GetWindowLongPtrA(QPadF->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
        SendMessageA(QPadF->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
    };
    const struct {
        std::vector<std::string> names;
        const char* message;  // part of the box's text, "" for none
        const std::string& opened;
    } rows[] = {
        {{a}, "", a},
        {{dir.substr(0, dir.size() - 1)}, "is a folder, not a file", a},
        {{a, b}, "Drop one file at a time", a},
        {{b}, "", b},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.names[0]);
        prompts.messages.clear();
        prompts.messageAnswers = {IDOK};
        drop(row.names);
        EXPECT_EQ(QPadF->FileName(), row.opened);
        if (*row.message) {
            ASSERT_EQ(prompts.messages.size(), 1u);
            EXPECT_NE(prompts.messages[0].text.find(row.message), std::string::npos) << prompts.messages[0].text;
        } else {
            EXPECT_TRUE(prompts.messages.empty());
        }
    }
    ASSERT_GE(QPadF->RecentFiles().size(), 2u);
    EXPECT_EQ(QPadF->RecentFiles()[0], b);
    EXPECT_EQ(QPadF->RecentFiles()[1], a);

    DeleteFileA(a.c_str());
    prompts.messages.clear();
    prompts.messageAnswers = {IDOK};
    SendMessageA(QPadF->Handle(), WM_COMMAND, kFirstRecentId + 1, 0);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("Cannot find the file " + a), std::string::npos);
    EXPECT_EQ(QPadF->RecentFiles()[0], b);
    EXPECT_TRUE(QPadF->RecentFiles().size() < 2 || QPadF->RecentFiles()[1] != a);
    EXPECT_EQ(QPadF->FileName(), b);
}

// The recent-files list on its own, in a File menu of its own: the most recent
// first, each file once whatever its case, at most eight, a missing one taken
// off; every change but the reading back is kept, and a store that fails
// costs nothing but the keeping.
TEST(RecentFiles, RulesAndMenuItems) {
    std::vector<std::string> eight;
    for (char c = '1'; c <= '8'; ++c) eight.push_back(std::string("C:\\") + c + ".java");
    std::vector<std::string> ten = eight;
    ten.insert(ten.end(), {"C:\\9.java", "C:\\10.java"});
    std::vector<std::string> newFirst = {"C:\\new.java"};
    newFirst.insert(newFirst.end(), eight.begin(), eight.end() - 1);
    const struct {
        const char* what;
        std::vector<std::string> read;
        std::function<void(TRecentFiles&)> change;
        std::vector<std::string> files;
        bool kept;
        bool storeFails;
    } rows[] = {
        {"read back", {"C:\\a.java", "C:\\b.java"}, nullptr, {"C:\\a.java", "C:\\b.java"}, false, false},
        {"read back twice in other case", {"C:\\a.java", "C:\\B.java", "C:\\A.JAVA"}, nullptr,
         {"C:\\a.java", "C:\\B.java"}, false, false},
        {"read back past eight", ten, nullptr, eight, false, false},
        {"opened: first", {"C:\\a.java", "C:\\b.java", "C:\\c.java"},
         [](TRecentFiles& r) { r.Add("C:\\c.java"); }, {"C:\\c.java", "C:\\a.java", "C:\\b.java"}, true, false},
        {"opened in other case: moved up", {"C:\\a.java", "C:\\b.java"},
         [](TRecentFiles& r) { r.Add("C:\\B.JAVA"); }, {"C:\\B.JAVA", "C:\\a.java"}, true, false},
        {"a ninth: the oldest goes", eight, [](TRecentFiles& r) { r.Add("C:\\new.java"); }, newFirst, true, false},
        {"missing: taken off", {"C:\\a.java", "C:\\b.java", "C:\\c.java"},
         [](TRecentFiles& r) { r.Remove(1); }, {"C:\\a.java", "C:\\c.java"}, true, false},
        {"store fails", {"C:\\a.java"}, [](TRecentFiles& r) { r.Add("C:\\x&y.java"); },
         {"C:\\x&y.java", "C:\\a.java"}, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::vector<std::string>> kept;
        TRecentFiles recent([&](const std::vector<std::string>& files) {
            kept.push_back(files);
            if (row.storeFails) throw std::runtime_error("qp.ini is read-only");
        });
        HMENU file = CreatePopupMenu();
        AppendMenuA(file, MF_STRING, static_cast<UINT>(ActionId::FileNew1), "&New");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_STRING, static_cast<UINT>(ActionId::FileExit1), "E&xit");
        recent.SetMenu(file);
        recent.Load(row.read);
        if (row.change) row.change(recent);
        EXPECT_EQ(recent.Files(), row.files);
        ASSERT_EQ(kept.size(), row.kept ? 1u : 0u);
        if (row.kept) {
            EXPECT_EQ(kept.back(), row.files);
        }

        // New, the separator, the files, their separator, Exit.
        ASSERT_EQ(GetMenuItemCount(file), static_cast<int>(3 + row.files.size() + 1));
        for (std::size_t i = 0; i < row.files.size(); ++i) {
            char text[MAX_PATH] = "";
            GetMenuStringA(file, static_cast<UINT>(2 + i), text, sizeof text, MF_BYPOSITION);
            std::string want = "&";
            want += std::to_string(i + 1);
            want += ' ';
            for (char c : row.files[i]) want += c == '&' ? std::string("&&") : std::string(1, c);
            EXPECT_EQ(text, want);
            EXPECT_EQ(GetMenuItemID(file, static_cast<int>(2 + i)), kFirstRecentId + i);
            EXPECT_EQ(recent.IndexOfCommand(kFirstRecentId + static_cast<UINT>(i)), static_cast<int>(i));
        }
        EXPECT_TRUE(GetMenuState(file, static_cast<UINT>(2 + row.files.size()), MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(GetMenuItemID(file, static_cast<int>(3 + row.files.size())), static_cast<UINT>(ActionId::FileExit1));
        EXPECT_EQ(recent.IndexOfCommand(kFirstRecentId + static_cast<UINT>(row.files.size())), -1);
        DestroyMenu(file);
    }
}
