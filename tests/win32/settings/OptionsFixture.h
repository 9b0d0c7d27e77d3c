#pragma once
// qp.ini beside the test program (its directory is the program's directory),
// saved and restored around each test; a fresh temporary folder with a stand-in
// SDK; file helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "OptionsU.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

namespace settings_test {

inline std::string ReadAll(const std::string& path) { return ReadTestFile(path).value_or(""); }

inline void WriteAll(const std::string& path, const std::string& data) {
    ASSERT_TRUE(WriteFileText(path, data)) << path;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void RemoveTree(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

inline std::string Profile(const std::string& file, const char* section, const char* key) {
    std::vector<char> buf(4096);
    DWORD n = GetPrivateProfileStringA(section, key, "<missing>", buf.data(),
                                       static_cast<DWORD>(buf.size()), file.c_str());
    return std::string(buf.data(), n);
}

inline const char kNoSdkMessage[] =
    "c:\\jdk1.3\\bin\\\ris not Java SDK directory\r\rCan not find \r  javac.exe or\r"
    "  java.exe";

class OptionsTest : public ::testing::Test {
protected:
    std::string ini = TOptionsF::SettingsFileName();
    std::string saved = ini + ".saved-by-test";
    std::string temp;    // a fresh directory, with a backslash
    std::string sdk;     // temp + "bin\\", holding the three tools
    std::string oldCwd;
    ScriptedPrompts prompts;
    ScriptedPrompts::Scope scope{prompts};

    void SetUp() override {
        RemoveTree(saved);
        if (Exists(ini)) {
            ASSERT_TRUE(MoveFileA(ini.c_str(), saved.c_str()));
        }
        char buf[MAX_PATH];
        GetTempPathA(MAX_PATH, buf);
        temp = std::string(buf) + "qpsettings" + std::to_string(GetCurrentProcessId()) + "\\";
        RemoveTree(temp.substr(0, temp.size() - 1));
        ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
        sdk = temp + "bin\\";
        ASSERT_TRUE(CreateDirectoryA(sdk.c_str(), nullptr));
        for (const char* tool : {"javac.exe", "java.exe", "appletviewer.exe"})
            WriteAll(sdk + tool, "");
        GetCurrentDirectoryA(MAX_PATH, buf);
        oldCwd = buf;
    }

    void TearDown() override {
        holder.reset();
        SetCurrentDirectoryA(oldCwd.c_str());
        RemoveTree(ini);
        if (Exists(saved)) MoveFileA(saved.c_str(), ini.c_str());
        RemoveTree(temp.substr(0, temp.size() - 1));
    }

    // A qp.ini naming the valid stand-in SDK, followed by more lines.
    void WriteIni(const std::string& more) {
        WriteAll(ini, "[JavaSDK]\r\nDirectory=" + sdk + "\r\n" + more);
    }

    // A settings holder over such a qp.ini, with source as the current file.
    TOptionsF& OptionsWithSource(const std::string& source) {
        WriteIni("");
        holder.emplace();
        holder->SetSourceFile(source);
        return *holder;
    }

private:
    std::optional<TOptionsF> holder;
};

}  // namespace settings_test
