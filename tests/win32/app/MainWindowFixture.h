#pragma once
// A fresh main window and settings holder for each test, with the modal
// prompts scripted, and helpers to type and to read the window back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "OptionsU.h"
#include "QPadU.h"
#include "RichEditQX.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

class MainWindowTest : public ::testing::Test {
protected:
    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope{prompts};
    std::string dir;  // a folder of this test's own

    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        dir = std::string(temp) + "qp-app-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++counter) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);

        InitApplication();
        QPadF = new TQPadF();
        // The settings holder checks the SDK directory when it is created; the
        // default one does not exist here, so its box is answered and forgotten.
        // Its dialog waits for the first Options command, as in the program.
        prompts.messageAnswers.push_back(IDOK);
        OptionsF = new TOptionsF(QPadF->Handle(), TOptionsF::Window::OnFirstShow);
        prompts.messages.clear();
        BeforeShow();
        QPadF->Show(SW_SHOWNORMAL);
        ShowApplicationWindow();
        ProcessMessages();
    }

    // Settings as the program read them from its file, before the window shows.
    virtual void BeforeShow() {}

    void TearDown() override {
        delete OptionsF;
        OptionsF = nullptr;
        delete QPadF;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }  // a closed window leaves WM_QUIT behind
        RemoveTree(dir);
        EXPECT_TRUE(prompts.messageAnswers.empty()) << "scripted answers left unused";
        EXPECT_TRUE(prompts.fileAnswers.empty()) << "scripted file names left unused";
    }

    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                SetFileAttributesA((path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path + name + "\\");
                else
                    DeleteFileA((path + name).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(path.c_str());
    }

    TRichEditQX& Editor() { return *QPadF->SourceEdit(); }
    HWND EditorWnd() { return QPadF->SourceEdit()->Handle(); }

    // One key as the keyboard delivers it: key down, the character, key up.
    void Key(UINT vk, char ch) {
        SendMessageA(EditorWnd(), WM_KEYDOWN, vk, 1);
        if (ch) SendMessageA(EditorWnd(), WM_CHAR, static_cast<unsigned char>(ch), 1);
        SendMessageA(EditorWnd(), WM_KEYUP, vk, 0xC0000001);
        ProcessMessages();
    }
    void Type(const std::string& text) {
        for (char c : text) {
            if (c == '\n') {
                Key(VK_RETURN, '\r');
                continue;
            }
            SHORT scan = VkKeyScanA(c);
            Key(scan == -1 ? 0 : LOBYTE(scan), c);
        }
    }

    // Runs a command as its menu item or accelerator does: a WM_COMMAND with the
    // command's id and no window. False when there is no such action.
    bool Command(const char* action) {
        TAction* a = QPadF->FindAction(action);
        if (!a) return false;
        SendMessageA(QPadF->Handle(), WM_COMMAND, MAKEWPARAM(a->id, 0), 0);
        return true;
    }

    bool Enabled(const char* action) { return QPadF->FindAction(action)->enabled; }
    bool MenuEnabled(const char* action) {
        UINT state = GetMenuState(QPadF->MainMenu1(), QPadF->FindAction(action)->id, MF_BYCOMMAND);
        return !(state & (MF_GRAYED | MF_DISABLED));
    }
    bool ButtonEnabled(const char* action) {
        return SendMessageA(QPadF->ToolBar1(), TB_ISBUTTONENABLED, QPadF->FindAction(action)->id, 0) != 0;
    }

    static std::vector<std::string> Items(HWND list) {
        std::vector<std::string> items;
        int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            int len = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, i, 0));
            std::string s(len + 1, '\0');
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(s.data()));
            s.resize(len);
            items.push_back(s);
        }
        return items;
    }
    static void AddItem(HWND list, const char* text) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // A child window's rectangle in its parent's client coordinates.
    static RECT ChildRect(HWND child) {
        RECT rc;
        GetWindowRect(child, &rc);
        MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    static std::string Caption(HWND hwnd) {
        char text[512] = "";
        GetWindowTextA(hwnd, text, sizeof text);
        return text;
    }

    static void WriteFileBytes(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(WriteFileText(path, bytes)) << path;
    }
    static std::string ReadFileBytes(const std::string& path) { return ReadFileText(path); }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::vector<std::string> FilesInDir() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            if (std::string(fd.cFileName) != "." && std::string(fd.cFileName) != "..") names.push_back(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return names;
    }
};
