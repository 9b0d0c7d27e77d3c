// CreateDOSProcessRedirected on CreateProcessA: start, wait, exit code.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FilesWin32.h"
#include "LauncherWin32.h"
#include "QpErrors.h"
#include "ScopedWin32.h"

namespace {

// Everything a launch opens, closed on every way out: the output file first,
// then the child's thread and process, so the file is complete once we return.
// (Members are destroyed in reverse order.)
struct TLaunchHandles {
    ScopedHandle process, thread;
    ScopedHandle outFile;
};

// A zero-terminated, writable copy (CreateProcessA may write into its command
// line). At least MAX_PATH + 1 characters, more when the text needs it.
std::vector<char> WritableCopy(const std::string& text) {
    std::vector<char> buffer(std::max<std::size_t>(MAX_PATH, text.size()) + 1, '\0');
    text.copy(buffer.data(), text.size());
    return buffer;
}

HANDLE CreateOutputFile(const char* name, SECURITY_ATTRIBUTES* security) {
    const DWORD access = GENERIC_READ | GENERIC_WRITE;
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH;
    if (std::char_traits<char>::length(name) < MAX_PATH)
        return CreateFileA(name, access, sharing, security, CREATE_ALWAYS, flags, nullptr);

    // The ANSI call refuses longer names: the wide one takes the long form.
    const std::wstring full = LongPathForm(name);
    if (full.empty()) return INVALID_HANDLE_VALUE;
    return CreateFileW(full.c_str(), access, sharing, security, CREATE_ALWAYS, flags, nullptr);
}

// Keyboard and mouse input that reached the program's windows while a tool ran
// is thrown away: typed blind (the console had the user's attention), it would
// otherwise land in the text once the tool ends. Taking the mouse messages off
// the queue also has the system ask the window under the mouse for its cursor,
// which shows the program busy.
void DropInput() {
    MSG msg;
    for (int i = 0; i < 4096; ++i) {
        if (!PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE) &&
            !PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) &&
            !PeekMessageA(&msg, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE))
            return;
    }
}

// Waits for the child while keeping the program's windows painted: a program
// run can take minutes, and a window that does not paint shows garbage and is
// taken for hung. Only painting is done, and messages other programs send us
// are answered (their senders would hang otherwise); input is dropped (above),
// and commands and close requests stay queued until the child has ended, so
// nothing the user does interleaves with a tool run.
void WaitPainting(HANDLE process) {
    for (;;) {
        // Also wakes for a paint already seen by an earlier look at the queue.
        const DWORD wakeOn = QS_PAINT | QS_SENDMESSAGE | QS_KEY | QS_MOUSE;
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &process, INFINITE, wakeOn, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1) break;  // ended (or the wait failed: nothing to wait on)
        DropInput();
        // Looking delivers the sent messages. A bounded round, so a window that
        // never validates cannot keep us here after the child has ended.
        MSG msg;
        for (int i = 0; i < 64 && PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
            DispatchMessageA(&msg);
    }
    DropInput();  // what came in between the last look and the end
}

}  // namespace

std::uint32_t CreateDOSProcessRedirected(const std::string& cmdLine, const std::string& outFile,
                                         bool hidden, std::uint32_t& exitCode) {
    std::vector<char> commandBuffer = WritableCopy(cmdLine);
    std::vector<char> outFileBuffer = WritableCopy(outFile);
    const bool redirect = !outFile.empty();
    TLaunchHandles handles;

    SECURITY_ATTRIBUTES security = {};
    security.nLength = sizeof security;
    security.lpSecurityDescriptor = nullptr;
    security.bInheritHandle = TRUE;

    if (redirect) {
        handles.outFile.Reset(CreateOutputFile(outFileBuffer.data(), &security));
        if (!handles.outFile.Valid())
            throw Exception(LauncherCreateFileErrorText(outFile));
    }

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = hidden ? SW_HIDE : SW_SHOWDEFAULT;
    if (redirect) {
        // Only standard error goes to the file; input and output stay unconnected.
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdError = handles.outFile.Get();
    }

    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandBuffer.data(), nullptr, nullptr, TRUE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
        [[maybe_unused]] const DWORD lastError = GetLastError();  // for a debugger only
        throw Exception(LauncherStartErrorText());
    }
    handles.process.Reset(info.hProcess);
    handles.thread.Reset(info.hThread);

    WaitPainting(handles.process.Get());
    DWORD code = 0;
    GetExitCodeProcess(handles.process.Get(), &code);
    exitCode = code;
    return 0;
}
