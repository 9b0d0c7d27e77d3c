// A bridge from the program's Java SDK folder to the Java tools of the machine
// Wine runs on. Copied as javac.exe, java.exe and appletviewer.exe; each copy
// runs the host tool of its own name with the same arguments, Windows paths
// among them turned into the host's paths, and behaves as that tool would on
// Windows: its output on our standard output and error (the host's paths turned
// back into the Windows form we were given), its exit code as ours. The host
// tool runs in a UTF-8 locale; its arguments, output and typed input are turned
// between UTF-8 and the code pages a Windows tool would use.
//
// Under Wine a host program started by CreateProcess runs detached: its handle
// says nothing about its end, its exit code is lost and its error output does
// not reach our handles. So the tool runs inside a shell line that writes its
// output and its exit status into files of a run folder, and we follow those
// files until the status appears.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "FilesWin32.h"
#include "QpText.h"
#include "ScopedWin32.h"

namespace {

using UnixNameFn = char*(CDECL*)(LPCWSTR);

std::string ToLower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return s;
}

std::string ModulePath() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

// The tool this copy stands for: its own name without folder and extension.
std::string ToolName() { return ToLower(ChangeFileExt(ExtractFileName(ModulePath()), "")); }

void WriteAll(HANDLE h, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!WriteFile(h, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &put, nullptr) || !put)
            return;
        done += put;
    }
}

void Say(const std::string& text) { WriteAll(GetStdHandle(STD_ERROR_HANDLE), text + "\r\n"); }

// Text from one code page to another (through UTF-16); pure ASCII as it is.
std::string Recode(const std::string& text, UINT from, UINT to) {
    if (from == to || std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) return text;
    const int n = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return text;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    const int m = WideCharToMultiByte(to, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (m <= 0) return text;
    std::string out(static_cast<std::size_t>(m), '\0');
    WideCharToMultiByte(to, 0, wide.data(), n, out.data(), m, nullptr, nullptr);
    return out;
}

// The host tools speak UTF-8 (we give them a UTF-8 locale); a Windows tool
// speaks the console's code page on a console and the ANSI code page elsewhere
// (a file, a pipe), and so do we.
UINT WindowsCodePageOf(HANDLE h, bool input) {
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        const UINT cp = input ? GetConsoleCP() : GetConsoleOutputCP();
        if (cp) return cp;
    }
    return GetACP();
}

// Wine's own call, looked up at run time so that the program still starts on
// Windows, where it only says that it needs Wine.
class UnixNames {
public:
    UnixNames() {
        if (HMODULE k = GetModuleHandleA("kernel32.dll"))
            fn_ = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(GetProcAddress(k, "wine_get_unix_file_name")));
    }
    bool Available() const { return fn_ != nullptr; }
    // The host path of a Windows path; empty when Wine cannot map it.
    std::string Of(const std::string& windowsPath) const {
        int n = MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
        if (n <= 0) return std::string();
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), n);
        char* unix = fn_(wide.c_str());
        if (!unix) return std::string();
        std::string result = unix;
        HeapFree(GetProcessHeap(), 0, unix);
        return result;
    }

private:
    UnixNameFn fn_ = nullptr;
};

// "C:\...", "C:/..." or "\\server\...": a path the host would not understand.
bool IsWindowsPath(const std::string& arg) {
    if (arg.size() >= 3 && isalpha(static_cast<unsigned char>(arg[0])) && arg[1] == ':' &&
        (arg[2] == '\\' || arg[2] == '/'))
        return true;
    return arg.size() >= 2 && arg[0] == '\\' && arg[1] == '\\';
}

// One argument for the shell, in single quotes.
std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Host paths back to the Windows form they were given in, longest first so
// that one path that begins another is not cut in two.
class PathMap {
public:
    void Add(std::string unix, std::string windows) {
        if (unix.empty() || unix == windows) return;
        pairs_.emplace_back(std::move(unix), std::move(windows));
        std::sort(pairs_.begin(), pairs_.end(),
                  [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    }
    std::string Back(const std::string& text) const {
        std::string out;
        for (std::size_t i = 0; i < text.size();) {
            bool replaced = false;
            for (const auto& [unix, windows] : pairs_)
                if (text.compare(i, unix.size(), unix) == 0) {
                    out += windows;
                    i += unix.size();
                    replaced = true;
                    break;
                }
            if (!replaced) out += text[i++];
        }
        return out;
    }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

// Follows a file the tool writes, handing on whole lines (so that a path is
// never split between two reads), and the start of a line once the tool has
// paused after it (a prompt waits for the user's answer) or at the end.
class Follower {
public:
    Follower(std::string path, HANDLE to, const PathMap& map)
        : path_(std::move(path)), to_(to), map_(map), codePage_(WindowsCodePageOf(to, false)) {}
    // True when a line's start is held back, waiting for more.
    bool Holding() const { return !pending_.empty(); }
    void Pump(bool final) {
        const long long before = offset_;
        const ScopedHandle file(CreateFileA(path_.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        if (file.Valid()) {
            LARGE_INTEGER at;
            at.QuadPart = offset_;
            SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN);
            char buf[65536];
            DWORD got = 0;
            while (ReadFile(file.Get(), buf, sizeof buf, &got, nullptr) && got) {
                pending_.append(buf, got);
                offset_ += got;
            }
        }
        const bool paused = offset_ == before;
        std::size_t end = final || paused ? pending_.size() : pending_.rfind('\n');
        if (end == std::string::npos) return;
        if (end < pending_.size()) ++end;  // through the line feed
        WriteAll(to_, Recode(ToConsoleLines(map_.Back(pending_.substr(0, end))), CP_UTF8, codePage_));
        pending_.erase(0, end);
    }

private:
    // The host writes bare line feeds; Windows readers expect CR LF.
    static std::string ToConsoleLines(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
            out += text[i];
        }
        return out;
    }

    std::string path_;
    HANDLE to_;
    const PathMap& map_;
    long long offset_ = 0;
    std::string pending_;
    UINT codePage_;
};

bool WriteTextFile(const std::string& path, const std::string& text) {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file.Valid()) return false;
    DWORD put = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size();
}

bool ReadTextFile(const std::string& path, std::string& text) {
    const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) return false;
    char buf[64];
    DWORD got = 0;
    ReadFile(file.Get(), buf, sizeof buf - 1, &got, nullptr);
    text.assign(buf, got);
    return true;
}

// The sign of life the host side watches: touched every second while we run,
// gone when we end, even when the console is closed under us and we are ended
// without a chance to clean up (the host then sees it grow old). It lies beside
// the run folder, whose changes wake our own loop.
std::string aliveFile;
DWORD WINAPI KeepAlive(void*) {
    for (;;) {
        const ScopedHandle file(CreateFileA(aliveFile.c_str(), FILE_WRITE_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr));
        if (file.Valid()) {
            FILETIME now;
            GetSystemTimeAsFileTime(&now);
            SetFileTime(file.Get(), nullptr, nullptr, &now);
        }
        Sleep(1000);
    }
}
BOOL WINAPI OnConsoleClose(DWORD) {
    DeleteFileA(aliveFile.c_str());
    return FALSE;  // and on to the default: we end
}

void RemoveRunFolder(const std::string& dir) {
    for (const char* name : {"run.sh", "out", "err", "in", "status", "status.tmp"})
        DeleteFileA((dir + name).c_str());
    RemoveDirectoryA(dir.c_str());
    if (!aliveFile.empty()) DeleteFileA(aliveFile.c_str());
}

// The user's typing, line by line, appended to the file the tool reads.
struct InputFeed {
    std::string path;
    UINT codePage;  // of what the user types
};
// A console's line editing starts where its cursor is when the read begins,
// and echoes what is typed from there. Begun while the tool is still writing,
// it would put the answer over the prompt written since ("5ype a number:").
// So the read waits for the user's first key of a line: by then the tool's
// output is on the console and the cursor follows it. Other console events
// (focus, mouse, a resize) are taken off and waited past. False when the
// console's input has gone.
bool AwaitTyping(HANDLE in) {
    for (;;) {
        if (WaitForSingleObject(in, INFINITE) != WAIT_OBJECT_0) return false;
        INPUT_RECORD record;
        DWORD count = 0;
        if (!PeekConsoleInputA(in, &record, 1, &count)) return false;
        if (count == 0) continue;
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return true;
        if (!ReadConsoleInputA(in, &record, 1, &count)) return false;
    }
}

DWORD WINAPI FeedInput(void* param) {
    auto* feed = static_cast<InputFeed*>(param);
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(in, &mode) != 0;  // not a file or pipe given with <
    char buf[4096];
    DWORD got = 0;
    while ((!console || AwaitTyping(in)) && ReadFile(in, buf, sizeof buf, &got, nullptr) && got) {
        std::string text(buf, got);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        text = Recode(text, feed->codePage, CP_UTF8);
        const ScopedHandle file(CreateFileA(feed->path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                            nullptr, OPEN_ALWAYS, 0, nullptr));
        if (!file.Valid()) break;
        DWORD put = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string tool = ToolName();
    const UnixNames unix;
    if (!unix.Available()) {
        Say(tool + ": this is a bridge to the Java tools of the machine that runs Wine, and it works only under "
                   "Wine. Point the program at a Java SDK's bin folder instead.");
        return 1;
    }
    if (tool == "appletviewer") {
        Say("appletviewer: the Java SDK of this machine has no applet viewer (today's Java SDKs no longer ship "
            "one), so applets cannot be shown through this bridge.");
        return 1;
    }

    PathMap paths;
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];  // in the ANSI code page
        std::string host = IsWindowsPath(arg) ? unix.Of(arg) : std::string();
        if (!host.empty())
            paths.Add(host, Recode(arg, CP_ACP, CP_UTF8));
        else
            host = Recode(arg, CP_ACP, CP_UTF8);
        command += ' ' + ShellQuote(host);
    }

    // The run folder, in the Windows temporary folder so both sides reach it.
    const std::string dir = TempFolder() + "qp-bridge-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount()) + "\\";
    if (!CreateDirectoryA(dir.c_str(), nullptr)) {
        Say(tool + ": cannot create the folder " + dir);
        return 1;
    }
    const std::string hostDir = unix.Of(dir);
    char cwd[MAX_PATH * 4] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    const std::string hostCwd = unix.Of(cwd);
    if (!hostCwd.empty())
        paths.Add(hostCwd + "/",
                  Recode(std::string(cwd) + (cwd[0] && cwd[strlen(cwd) - 1] == '\\' ? "" : "\\"), CP_ACP, CP_UTF8));

    aliveFile = dir.substr(0, dir.size() - 1) + ".alive";
    const std::string hostAlive = hostDir.empty() ? std::string() : hostDir.substr(0, hostDir.size() - 1) + ".alive";
    WriteTextFile(aliveFile, "");
    const bool interactive = tool == "java";
    std::string script =
        "#!/bin/bash\n"
        "PATH=\"$PATH:/usr/local/bin:/usr/bin:/bin\"\n"
        "export LC_ALL=C.UTF-8\n"
        "run=" + ShellQuote(hostDir) + "\n"
        "finish() { echo \"$1\" > \"$run/status.tmp\"; mv \"$run/status.tmp\" \"$run/status\"; exit 0; }\n"
        "if [ -n \"$JAVA_HOME\" ] && [ -x \"$JAVA_HOME/bin/" + tool + "\" ]; then tool=\"$JAVA_HOME/bin/" + tool +
        "\"; else tool=$(command -v " + tool + "); fi\n"
        "if [ -z \"$tool\" ]; then\n"
        "  echo '" + tool + ": no Java SDK on this machine (set JAVA_HOME, or put " + tool +
        " on the PATH)' > \"$run/err\"; finish 127\n"
        "fi\n" +
        (hostCwd.empty() ? std::string() : "cd " + ShellQuote(hostCwd) + " || finish 127\n") +
        (interactive ? "touch \"$run/in\"\n"
                       "exec 3< <(tail -f -n +1 \"$run/in\" 2>/dev/null)\n"
                       "feeder=$!\n"
                       "\"$tool\"" + command + " <&3 >\"$run/out\" 2>\"$run/err\" &\n"
                     : "\"$tool\"" + command + " </dev/null >\"$run/out\" 2>\"$run/err\" &\n") +
        // The Windows side may be ended at any time (its console closed): the
        // tool ends with it, rather than run on unseen.
        "toolpid=$!\n"
        "alive=" + ShellQuote(hostAlive) + "\n"
        "( while sleep 1; do\n"
        "    t=$(stat -c %Y \"$alive\" 2>/dev/null) || t=0\n"
        "    [ $(( $(date +%s) - t )) -le 5 ] || { kill $toolpid 2>/dev/null; exit 0; }\n"
        "  done ) &\n"
        "watcher=$!\n"
        "wait $toolpid\n"
        "status=$?\n"
        "kill $watcher 2>/dev/null\n" +
        (interactive ? "kill $feeder 2>/dev/null\n" : "") +
        "rm -f \"$alive\"\n"
        "finish $status\n";
    if (!WriteTextFile(dir + "run.sh", script)) {
        Say(tool + ": cannot write " + dir + "run.sh");
        RemoveRunFolder(dir);
        return 1;
    }

    // Watch the run folder before the shell starts, so no change is missed.
    ScopedChangeNotification change(FindFirstChangeNotificationA(
        dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));

    std::string shell = "/bin/bash \"" + hostDir + "run.sh\"";
    std::vector<char> line(shell.begin(), shell.end());
    line.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        Say(tool + ": cannot start the host's shell (/bin/bash), error " + std::to_string(GetLastError()));
        change.Reset();
        RemoveRunFolder(dir);
        return 1;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);  // says nothing here: the status file does

    CloseHandle(CreateThread(nullptr, 0, &KeepAlive, nullptr, 0, nullptr));
    SetConsoleCtrlHandler(&OnConsoleClose, TRUE);

    InputFeed feed{dir + "in", WindowsCodePageOf(GetStdHandle(STD_INPUT_HANDLE), true)};
    if (interactive) CloseHandle(CreateThread(nullptr, 0, &FeedInput, &feed, 0, nullptr));

    Follower out(dir + "out", GetStdHandle(STD_OUTPUT_HANDLE), paths);
    Follower err(dir + "err", GetStdHandle(STD_ERROR_HANDLE), paths);
    std::string status;
    for (;;) {
        // Woken by any change in the run folder; the second is only a safety net
        // for a change the notification did not report. No time limit: the tool
        // may run as long as it likes, as on Windows.
        // A held line start is looked at again soon: passed on once nothing more came.
        const DWORD wait = out.Holding() || err.Holding() ? 100 : 1000;
        if (change.Valid()) {
            WaitForSingleObject(change.Get(), wait);
            FindNextChangeNotification(change.Get());
        } else {
            Sleep(200);
        }
        const bool done = ReadTextFile(dir + "status", status);
        out.Pump(done);
        err.Pump(done);
        if (done) break;
    }
    change.Reset();  // the watch ends before its folder goes
    RemoveRunFolder(dir);
    return atoi(status.c_str());
}
