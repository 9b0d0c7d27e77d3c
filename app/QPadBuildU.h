#pragma once
// The build commands' rules that need no window: the names derived from the
// source, the placeholder rule, the three tool command lines, the applet page
// and the choice of command interpreter.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Hello.java gives Hello, my.app.java gives my.app, Untitled.java gives Untitled.
std::string ClassNameFor(const std::string& fileName);
// Hello.class; a name without a dot gets ".class" appended.
std::string ClassFileNameFor(const std::string& fileName);
// Hello.html: the page Create HTML writes and Run Applet falls back to.
std::string DefaultPageNameFor(const std::string& fileName);

// Replaces the first placeholder anywhere in text by the value in double quotes
// (not escaped); later occurrences stay. False, text unchanged, when there is none.
bool SubstituteQuoted(std::string& text, const std::string& placeholder, const std::string& value);

// The program that runs the interpreter and the applet viewer: the system's own,
// never one found by a search (a command.com in a downloaded folder, which is
// the current one when F9 runs, would be it). COMSPEC when it names a full
// path, else cmd.exe in the system folder when it is there, else command.com in
// the Windows folder (systems without cmd.exe); in double quotes when the path
// holds a blank. For cmd.exe the builders below put the text after /K or /C in
// one more pair of double quotes, which cmd.exe removes.
std::string CommandInterpreterFor(const std::string& comspec, const std::string& systemFolder, bool systemHasCmd,
                                  const std::string& windowsFolder);

// "<sdkDir><compilerFile>" <template> with "%j" replaced by the quoted source path,
// preceded by "-encoding <encoding> " when an encoding is given.
std::string MakeCompilerCommandLine(const std::string& sdkDir, const std::string& compilerFile,
                                    const std::string& compilerCommand, const std::string& fileName,
                                    const std::string& encoding = std::string());

// The source's encoding as the compiler's -encoding option names it, or "" when
// the compiler needs no option: a pure-ASCII source reads the same in every
// encoding, and a template that already says -encoding is the user's choice.
// Valid UTF-8 is taken as UTF-8 (a text in a single-byte page seldom is), any
// other bytes as the ANSI code page the editor wrote them in.
std::string SourceEncodingFor(std::string_view source, const std::string& compilerCommand,
                              unsigned ansiCodePage);
bool IsValidUtf8(std::string_view bytes);

// The -encoding for a compile that reads the source and may read the other
// .java files beside it (its package's folder): the source's own when it has
// bytes beyond ASCII, else the one the siblings with such bytes share (the most
// common when they differ). note names the files of each encoding when they
// disagree, with what the user can do; "" when they agree.
struct SourceBytes {
    std::string name;  // as shown to the user
    std::string bytes;
};
struct EncodingChoice {
    std::string encoding;
    std::string note;
};
EncodingChoice CompileEncodingFor(const SourceBytes& source, const std::vector<SourceBytes>& siblings,
                                  const std::string& compilerCommand, unsigned ansiCodePage);
// Java's name for a Windows code page (1252 -> windows-1252, 932 -> MS932).
std::string JavaCharsetName(unsigned codePage);

// The name in the source's package declaration ("app.util"), or "" when it has
// none: the first "package" followed by a dotted name and ";", outside comments,
// strings and character literals. Any bytes are accepted.
std::string PackageNameOf(std::string_view source);

// Where a source is compiled and run from, and the class name the interpreter
// takes. A source in a package is run from its package root, the folder that
// holds the package's folders, when its own folder ends with the package path;
// otherwise everything happens in its own folder, under its bare name, and
// note says why in plain words.
struct BuildPlace {
    std::string folder;     // "" for a source with no folder (untitled)
    std::string className;  // "app.util.Hello" or "Hello"
    std::string classFile;  // for the applet page: "app/util/Hello.class" or "Hello.class"
    std::string note;       // set when the folder does not match the package
};
BuildPlace BuildPlaceFor(const std::string& fileName, const std::string& packageName);

// Run: the interpreter starts a batch file that holds the program's line,
// "<sdkDir><interpreterFile>" <template> with "%c" replaced by the quoted class
// name, then " <appCommandLine>" when there is one. In a batch file every
// character can be made text (BatchLineFor), which cmd's own command line does
// not allow for %; the line after /K is then just the file's name.
struct InterpreterRun {
    std::string commandLine;  // <shell> /K "<batchFile>"
    std::string programLine;  // what the batch runs, as the program gets it
    std::string batchText;    // the file's text
};
InterpreterRun MakeInterpreterRun(const std::string& shell, const std::string& batchFile, const std::string& sdkDir,
                                  const std::string& interpreterFile, const std::string& interpreterCommand,
                                  const std::string& className, const std::string& appCommandLine);

// line as a line of a batch file that runs it with nothing but its program:
// % doubled; outside double quotes ^ & | ( ) escaped with ^, so the shell runs
// no second command, while < and > (and the & of 2>&1) still redirect; a line
// break (CR LF, CR or LF) goes on as a line feed, the one a batch line can
// carry (cmd drops every CR of a batch file).
std::string BatchLineFor(const std::string& line);

// <shell> /C "<sdkDir><viewerFile>" <template> with "%h" replaced by the quoted
// page name. findPage is asked only once the template is known to hold "%h"; it
// returns the page's name or throws.
std::string MakeAppletViewerCommandLine(const std::string& shell, const std::string& sdkDir,
                                        const std::string& viewerFile, const std::string& viewerCommand,
                                        const std::function<std::string()>& findPage);

// The page text: the template with its first "%c" replaced by the class file
// name, without quotes (the template brings its own).
std::string AppletPageText(const std::string& htmlTemplate, const std::string& classFileName);

// The applet page to look for: the project's page when one is set, else the default.
std::string AppletPageNameFor(const std::string& appletHtmlFile, const std::string& fileName);
// The failure text when that page does not exist.
std::string AppletPageMissingText(const std::string& name);

// The failure text when the SDK folder has no applet viewer (SDKs since Java 11
// have none): the file and the folder it was looked for in.
std::string AppletViewerMissingText(const std::string& sdkDir, const std::string& viewerFile);
