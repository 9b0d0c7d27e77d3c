// A child for the launcher tests. Usage: launch_probe REPORT EXITCODE [STDERR-TEXT]
// Writes to REPORT what it was given: the start-up flags and show state and
// which standard handles it has, then its command line; then writes STDERR-TEXT
// (default "probe stderr\r\n", "-" for nothing) to standard error, a line to
// standard output, and ends with EXITCODE ("-1" gives 4294967295).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
int Connected(DWORD stream) {
    HANDLE h = GetStdHandle(stream);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}
void WriteTo(HANDLE h, const std::string& text) {
    DWORD written = 0;
    if (h && h != INVALID_HANDLE_VALUE)
        WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 100;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    char line[200];
    std::snprintf(line, sizeof line, "flags=%lu show=%u in=%d out=%d err=%d\r\n",
                  static_cast<unsigned long>(startup.dwFlags), startup.wShowWindow,
                  Connected(STD_INPUT_HANDLE), Connected(STD_OUTPUT_HANDLE),
                  Connected(STD_ERROR_HANDLE));
    HANDLE report = CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    WriteTo(report, line);
    WriteTo(report, std::string(GetCommandLineA()) + "\r\n");
    if (report != INVALID_HANDLE_VALUE) CloseHandle(report);

    const std::string text = argc > 3 ? argv[3] : "probe stderr\r\n";
    if (text != "-") WriteTo(GetStdHandle(STD_ERROR_HANDLE), text);
    WriteTo(GetStdHandle(STD_OUTPUT_HANDLE), "probe stdout\r\n");
    ExitProcess(static_cast<UINT>(std::strtoll(argv[2], nullptr, 10)));
}
