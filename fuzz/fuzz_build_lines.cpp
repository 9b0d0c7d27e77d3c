// Templates, folders, file names and arguments of any bytes and length: the
// command lines keep the tool's quoted path in front, put the quoted value in
// place of the first placeholder and leave the rest of the template alone.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "Check.h"
#include "QPadBuildU.h"
#include "QPadLogic.h"
#include "QpErrors.h"
#include "QpText.h"

namespace {

// line must be head + "<dir><file>" + template with its first placeholder
// replaced by the quoted value, then tail.
void CheckLine(std::string line, const std::string& head, const std::string& tool, const std::string& tmpl,
               const std::string& placeholder, const std::string& value, const std::string& tail) {
    const std::string front = head + '"' + tool + "\" ";
    QP_CHECK(line.compare(0, front.size(), front) == 0);
    QP_CHECK(line.size() >= front.size() + tail.size());
    QP_CHECK(line.compare(line.size() - tail.size(), tail.size(), tail) == 0);
    std::string expected = tmpl;
    const std::size_t at = expected.find(placeholder);
    QP_CHECK(at != std::string::npos);
    expected.replace(at, placeholder.size(), '"' + value + '"');
    QP_CHECK(line.substr(front.size(), line.size() - front.size() - tail.size()) == expected);
}

bool Throws(const auto& f) {
    try {
        f();
    } catch (const Exception&) {
        return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string dir = in.ConsumeRandomLengthString(300), tmpl = in.ConsumeRandomLengthString(300),
                      file = in.ConsumeRandomLengthString(300), args = in.ConsumeRandomLengthString(100),
                      comspec = in.ConsumeRandomLengthString(100);
    const std::string shell = CommandInterpreterFor(comspec, "C:\\WINDOWS\\system32", in.ConsumeBool(), "C:\\WINDOWS");
    QP_CHECK(!shell.empty());
    // The command-interpreter rule only ever adds quotes around a path with blanks.
    QP_CHECK(shell == "C:\\WINDOWS\\system32\\cmd.exe" || shell == "C:\\WINDOWS\\command.com" || shell == comspec ||
             shell == '"' + comspec + '"');

    // The tool's own path may hold a placeholder too: the first one in the whole line is replaced.
    const std::string tool = dir + "javac.exe";
    std::string line;
    const bool refused = Throws([&] { line = MakeCompilerCommandLine(dir, "javac.exe", tmpl, file); });
    QP_CHECK(refused == (('"' + tool + "\" " + tmpl).find("%j") == std::string::npos));
    if (!refused && ('"' + tool + "\" ").find("%j") == std::string::npos)
        CheckLine(line, "", tool, tmpl, "%j", file, "");

    const std::string cls = ClassNameFor(file);
    QP_CHECK(cls.find_first_of("\\:") == std::string::npos);
    // cmd.exe gets the text after /K in one more pair of quotes: a program named
    // cmd.exe or cmd, in any case, wherever its folder.
    std::string lower = shell;
    if (lower.size() >= 2 && lower.front() == '"' && lower.back() == '"') lower = lower.substr(1, lower.size() - 2);
    lower = ExtractFileName(lower);
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    const bool cmd = lower == "cmd.exe" || lower == "cmd";
    InterpreterRun run;
    if (!Throws([&] { run = MakeInterpreterRun(shell, "C:\\T\\r.bat", dir, "java.exe", tmpl, cls, args); })) {
        QP_CHECK(run.commandLine == shell + (cmd ? " /K \"\"C:\\T\\r.bat\"\"" : " /K \"C:\\T\\r.bat\""));
        if (("\"" + dir + "java.exe\" ").find("%c") == std::string::npos)
            CheckLine(run.programLine, "", dir + "java.exe", tmpl, "%c", cls, args.empty() ? "" : ' ' + args);
        // One batch line: every line break carried by a caret, no bare %.
        const std::string batch = BatchLineFor(run.programLine);
        for (std::size_t i = 0; i < batch.size(); ++i)
            if (batch[i] == '\n') QP_CHECK((i > 0 && batch[i - 1] == '^') || (i > 1 && batch[i - 2] == '^'));
    }

    bool asked = false;
    const std::string page = AppletPageNameFor(args, file);
    if (!Throws([&] {
            line = MakeAppletViewerCommandLine(shell, dir, "appletviewer.exe", tmpl, [&] {
                asked = true;
                return page;
            });
        }))
        QP_CHECK(asked && line.find('"' + page + '"') != std::string::npos);
    else
        QP_CHECK(!asked);

    // The page text: the template with the class file put in place of its first "%c".
    std::string text;
    if (!Throws([&] { text = AppletPageText(tmpl, ClassFileNameFor(file)); }))
        QP_CHECK(text.size() == tmpl.size() - 2 + ClassFileNameFor(file).size());

    const std::string stop = WithFullStop(args);
    QP_CHECK(stop == args || stop == args + ".");
    QP_CHECK(ShortHint(args) + (args.find('|') == std::string::npos ? "" : '|' + LongHint(args)) == args);
    QP_CHECK(CaptionFor(file).rfind("Quillpad: ", 0) == 0);
    // Positions as the control reports them: never negative, the caret on or after its line's start.
    const int lineStart = in.ConsumeIntegralInRange(0, 0x7FFFFFFE), line0 = in.ConsumeIntegralInRange(0, lineStart);
    const std::string caret = CaretText(in.ConsumeIntegralInRange(lineStart, 0x7FFFFFFE), line0, lineStart);
    QP_CHECK(caret.find('-') == std::string::npos);
    return 0;
}
