#include "CompilerU.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "QpErrors.h"

std::string StdErrFileNameIn(const std::string& tempDir, std::uint32_t instance) {
    return tempDir + "stderr-" + std::to_string(instance) + ".out";
}

std::string RunBatchFileNameIn(const std::string& tempDir, std::uint32_t instance) {
    return tempDir + "qp-run-" + std::to_string(instance) + ".bat";
}

namespace {
const char kLauncherHeader[] = "[function: CreateDOSProcessRedirected ]\n\n";
}

std::string LauncherCreateFileErrorText(const std::string& outFile) {
    // "aninvalid" is the text users and scripts have always seen; keep it.
    return std::string(kLauncherHeader) +
           "WinApi function CreateFile returned aninvalid handle value\n"
           "for the output file * " + outFile + " *";
}

std::string LauncherStartErrorText() { return std::string(kLauncherHeader) + "Function failure"; }

std::vector<std::string> SplitCaptureLines(std::string_view text) {
    std::vector<std::string> lines;
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    std::size_t start = 0;
    const std::size_t n = text.size();
    while (start < n) {
        std::size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n') ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end < n && text[end] == '\r' && end + 1 < n && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

namespace {

// C stdio rather than a file stream: the streams would bring the whole of the
// C++ library's locale machinery into the program for this one read.
bool ReadWithStdio(const std::string& path, std::string& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    bytes.clear();
    char buffer[16384];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in.get())) > 0) bytes.append(buffer, n);
    return !std::ferror(in.get());
}

}  // namespace

bool (*ReadCaptureBytes)(const std::string& path, std::string& bytes) = &ReadWithStdio;

std::vector<std::string> LoadCaptureFile(const std::string& path) {
    std::string text;
    if (!ReadCaptureBytes(path, text)) throw Exception("Cannot open file \"" + path + "\"");
    return SplitCaptureLines(text);
}

std::string FormatErrorEntry(int line, int column, const std::string& message) {
    // Two ints of at most 11 characters each: the numbers always fit; the message
    // is appended as a string, so its length is never a limit.
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%.4d %.4d ", line, column);
    return numbers + message;
}

namespace {
bool ParseLineNumber(std::string_view text, int& value);
}

void ReadErrorEntry(const std::string& entry, int& line, int& column) {
    line = column = -1;
    // Each number runs to the blank after it: "%.4d" pads to four digits but
    // never cuts, so line 10030 takes five.
    const std::string_view text(entry);
    const std::size_t lineEnd = std::min(text.find(' '), text.size());
    int value = 0;
    if (!ParseLineNumber(text.substr(0, lineEnd), value)) return;
    line = value;
    if (lineEnd == text.size()) return;
    const std::string_view rest = text.substr(lineEnd + 1);
    if (ParseLineNumber(rest.substr(0, std::min(rest.find(' '), rest.size())), value)) column = value;
}

namespace {

// A decimal integer with an optional sign and nothing else, within int's range.
bool ParseLineNumber(std::string_view text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL || v < -2147483647LL - 1) return false;
    value = static_cast<int>(v);
    return true;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

void SendTo(const TToolMessageEvent& event, void* sender, const std::string& msg) {
    if (event) event(sender, msg);
}

}  // namespace

void TCompiller::Send(const std::string& msg) { SendTo(OnMessage, this, msg); }

bool TCompiller::Compile(const std::string& cmdLine) {
    Output.clear();
    Errors.clear();
    bool result = false;
    std::uint32_t exitCode = kNoExitCode;
    Send("Open " + stdErrFile_ + " file");
    const auto sendExitCode = [&] { Send("Compiller exit code:  " + std::to_string(exitCode)); };
    try {
        Send("Run compiler");
        launcher_(cmdLine, stdErrFile_, true, exitCode);
        Send("Load output messages");
        Output = LoadCaptureFile(stdErrFile_);
        if (exitCode == 0) {
            // "No errors" is the compiler's verdict; its warnings follow it, to
            // be reached from the list like errors.
            result = true;
            Errors.push_back("No errors");
        }
        ParseErrors();
    } catch (...) {
        sendExitCode();
        throw;
    }
    sendExitCode();
    return result;
}

bool TCompiller::FindErrorLine(std::size_t& cursor, TErrorLine& found) const {
    const std::string prefix = FileName + ":";
    while (cursor < Output.size()) {
        const std::string& line = Output[cursor++];
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string_view rest = std::string_view(line).substr(prefix.size());
        const std::size_t colon = rest.find(':');
        // The first such line decides: without a line number the parse is over.
        if (colon == std::string_view::npos) return false;
        if (!ParseLineNumber(rest.substr(0, colon), found.line)) found.line = -1;
        found.message = std::string(rest.substr(colon + 1));
        return true;
    }
    return false;
}

bool TCompiller::FindCaretLine(std::size_t& cursor, int& column) const {
    while (cursor < Output.size()) {
        const std::string& line = Output[cursor++];
        std::size_t first = 0;
        while (first < line.size() && IsBlankOrControl(line[first])) ++first;
        if (first == line.size() || line[first] != '^') continue;
        std::size_t after = first + 1;
        while (after < line.size() && IsBlankOrControl(line[after])) ++after;
        if (after != line.size()) continue;
        column = static_cast<int>(first) + 1;
        return true;
    }
    return false;
}

void TCompiller::ParseErrors() {
    if (Output.empty() || FileName.empty()) return;
    Send("Parsing errors");
    std::size_t cursor = 0;
    TErrorLine error;
    while (FindErrorLine(cursor, error)) {
        int column = 0;
        if (!FindCaretLine(cursor, column)) break;
        Errors.push_back(FormatErrorEntry(error.line, column, error.message));
    }
}

bool TToolRun::Run(const std::string& cmdLine) {
    // The sender is the wrapper the caller holds (a TInterpreter, a TAppletViewer).
    void* const sender = dynamic_cast<void*>(this);
    std::uint32_t exitCode = kNoExitCode;
    bool result = false;
    try {
        SendTo(OnMessage, sender, startText_);
        launcher_(cmdLine, "", hidden_, exitCode);
        result = exitCode == 0;
    } catch (...) {
        SendTo(OnMessage, sender, exitText_ + std::to_string(exitCode));
        throw;
    }
    SendTo(OnMessage, sender, exitText_ + std::to_string(exitCode));
    return result;
}
