// The main window's build commands: Compile, Run, the applet commands, and the
// error list's way back into the source.
#include <windows.h>

#include <algorithm>

#include "CompilerU.h"
#include "ControlsWin32.h"
#include "FilesWin32.h"
#include "LauncherWin32.h"
#include "OptionsU.h"
#include "QPadBuildU.h"
#include "QPadU.h"
#include "QpText.h"
#include "RichEditQX.h"
#include "ScopedWin32.h"
#include "SourceFiles.h"

namespace {

HCURSOR screenCursor = nullptr;

// The tools get bare names (java "Hello", the page Hello.html) and javac writes
// Hello.class beside Hello.java, so each build command runs with the source's
// folder as the current directory, or for a source in a package with its
// package root, where javac finds the package's other sources and java the
// class by its full name. The tools inherit it and the page is written and
// looked up there, wherever the file dialogs last went. The untitled text has
// no folder and keeps the program's current directory. The previous directory
// comes back when the command ends.
class TSourceFolder {
public:
    explicit TSourceFolder(const std::string& folder) {
        if (folder.empty()) return;
        previous_ = CurrentFolder();
        if (!SetCurrentDirectoryA(folder.c_str()))
            throw Exception("Cannot use the folder " + folder + "\r" + SystemReason(GetLastError()));
    }
    ~TSourceFolder() {
        if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
    }
    TSourceFolder(const TSourceFolder&) = delete;
    TSourceFolder& operator=(const TSourceFolder&) = delete;

private:
    std::string previous_;
};

// What the compiler will read: the source file as saved. A source that is not
// there (an untitled text never saved) has no bytes to look at.
std::string SavedSource(const std::string& fileName) {
    return FileExists(fileName) ? ReadSourceFile(fileName) : std::string();
}

BuildPlace PlaceOf(const std::string& fileName, const std::string& source) {
    return BuildPlaceFor(fileName, PackageNameOf(source));
}
BuildPlace PlaceOf(const std::string& fileName) { return PlaceOf(fileName, SavedSource(fileName)); }

// The hourglass over all of the program's windows while a tool runs; the
// remembered setting comes back on every way out.
class TWaitCursor {
public:
    TWaitCursor() : previous_(ScreenCursor()) { SetScreenCursor(LoadCursor(nullptr, IDC_WAIT)); }
    ~TWaitCursor() { SetScreenCursor(previous_); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    HCURSOR previous_;
};

// Lets the list scroll sideways far enough for text (a command line is long).
void WidenFor(HWND list, const std::string& text) {
    SIZE size = {};
    {
        ScopedGetDC dc(list);
        if (!dc.Get()) return;
        ScopedSelect font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    const LRESULT extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    if (size.cx + 8 > extent) SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + 8), 0);
}

// Replaces a list's items, painting once at the end (a compile may list thousands).
void FillList(HWND list, const std::vector<std::string>& items) {
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const std::string& s : items) bytes += s.size() + 1;
    SendMessageA(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(bytes));
    const std::string* longest = nullptr;
    for (const std::string& s : items) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
        if (!longest || s.size() > longest->size()) longest = &s;
    }
    if (longest) WidenFor(list, *longest);  // the lists' font is fixed-pitch
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void InsertFirst(HWND list, const std::string& text) {
    SendMessageA(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    WidenFor(list, text);
}

void AddLine(HWND list, const std::string& text) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A source whose folder does not match its package: said under the command line.
void ShowNote(HWND list, const std::string& note) {
    if (note.empty()) return;
    SendMessageA(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(note.c_str()));
    WidenFor(list, note);
}
void ShowNote(HWND list, const BuildPlace& place) { ShowNote(list, place.note); }

TOptionsF& Options() {
    if (!OptionsF) throw Exception("The settings are not loaded");
    return *OptionsF;
}

// An SDK folder that is not valid is first replaced by a JDK found on the machine.
void RequireJavaSdk(TQPadF& window) {
    if (Options().JavaSdkValid()) return;
    const std::string found = Options().UseInstalledJdk();
    if (found.empty()) throw EJavaSdkError();
    window.ShowStatus(found);
}

// Clears the output list, builds the command line, shows it under ">" (and the
// place's note under it) and has the wrapper run it.
template <class Wrapper, class MakeLine>
bool RunShown(HWND list, Wrapper& wrapper, MakeLine makeLine, const BuildPlace& place) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    const std::string cmdLine = makeLine();
    InsertFirst(list, ">" + cmdLine);
    ShowNote(list, place);
    return wrapper.Run(cmdLine);
}

}  // namespace

HCURSOR ScreenCursor() { return screenCursor; }

void SetScreenCursor(HCURSOR cursor) {
    screenCursor = cursor;
    if (cursor) {
        SetCursor(cursor);
        return;
    }
    // Back to each window's own cursor: let the window under the mouse choose.
    POINT at;
    if (!GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
        const LRESULT hit = SendMessageA(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
        SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
    } else {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
    }
}

TToolMessageEvent TQPadF::ToolEvents() {
    return [this](void* sender, const std::string& msg) { ToolMessage(sender, msg); };
}

void TQPadF::SetLauncher(TLauncher launcher) { launcher_ = launcher ? std::move(launcher) : WindowsLauncher(); }

std::string TQPadF::CommandInterpreter() const {
    std::string comspec;
    if (const DWORD size = GetEnvironmentVariableA("COMSPEC", nullptr, 0)) {
        comspec.assign(size, '\0');
        comspec.resize(GetEnvironmentVariableA("COMSPEC", comspec.data(), size));
    }
    char system[MAX_PATH] = "", windows[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    const std::string systemFolder = system;
    return CommandInterpreterFor(comspec, systemFolder,
                                 !systemFolder.empty() && FileExists(systemFolder + "\\cmd.exe"), windows);
}

namespace {

// The other .java files in the source's folder, which javac reads when the
// source uses their classes. One it cannot read is left out: the compile will say.
std::vector<SourceBytes> SiblingSources(const std::string& fileName) {
    std::vector<SourceBytes> siblings;
    const std::string folder = ExtractFilePath(fileName);
    if (folder.empty()) return siblings;
    WIN32_FIND_DATAA found;
    const ScopedFind search(FindFirstFileA((folder + "*.java").c_str(), &found));
    if (!search.Valid()) return siblings;
    do {
        const std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || lstrcmpiA(name.c_str(), ExtractFileName(fileName).c_str()) == 0)
            continue;
        // "*.java" also finds "x.javax" by its short name.
        if (name.size() < 5 || lstrcmpiA(name.substr(name.size() - 5).c_str(), ".java") != 0) continue;
        try {
            siblings.push_back({name, ReadSourceFile(folder + name)});
        } catch (const Exception&) {
        }
    } while (FindNextFileA(search.Get(), &found));
    return siblings;
}

}  // namespace

EncodingChoice TQPadF::CompileEncoding(const std::string& source) const {
    return CompileEncodingFor({ExtractFileName(fileName_), source}, SiblingSources(fileName_),
                              Options().CompillerCommand(), GetACP());
}

std::string TQPadF::MakeCompilerCommandLine(const std::string& encoding) const {
    const TOptionsF& o = Options();
    return ::MakeCompilerCommandLine(o.JavaSdkDir(), o.CompilerFile(), o.CompillerCommand(), fileName_, encoding);
}

std::string TQPadF::MakeInterpreterCommandLine(const std::string& className) const {
    const TOptionsF& o = Options();
    const InterpreterRun run = MakeInterpreterRun(CommandInterpreter(), RunBatchFileName, o.JavaSdkDir(),
                                                  o.InterpreterFile(), o.InterpreterCommand(), className,
                                                  o.AppCommandLine());
    WriteRunBatch(RunBatchFileName, run.batchText);
    return run.commandLine;
}

std::string TQPadF::MakeAppletViewerCommandLine() const {
    const TOptionsF& o = Options();
    return ::MakeAppletViewerCommandLine(CommandInterpreter(), o.JavaSdkDir(), o.AppletViewerFile(),
                                         o.AppletViewerCommand(), [this] { return FindAppletHtmlFile(); });
}

std::string TQPadF::FindAppletHtmlFile() const {
    const std::string name = AppletPageNameFor(Options().AppletHtmlFile(), fileName_);
    if (!FileExists(name)) throw Exception(AppletPageMissingText(name));
    return name;
}

void TQPadF::CodeCompileExecute() {
    RequireJavaSdk(*this);
    // The compiler reads the file, so the text must be saved first: a Cancel in
    // the save (or in its Save As) ends the command, and so does a failed write.
    if (sourceEdit_->Modified()) {
        FileSave1Execute();
        if (sourceEdit_->Modified()) throw EAbort();
    }
    const std::string source = SavedSource(fileName_);  // read once: the package and the encoding
    const BuildPlace place = PlaceOf(fileName_, source);
    TSourceFolder folder(place.folder);
    bool result = false;
    bool markRejected = false;
    {
        TWaitCursor wait;
        TCompiller compiler(launcher_, StdErrFileName);
        compiler.OnMessage = ToolEvents();
        compiler.FileName = fileName_;
        const EncodingChoice encoding = CompileEncoding(source);
        const std::string cmdLine = MakeCompilerCommandLine(encoding.encoding);
        result = compiler.Compile(cmdLine);
        FillList(panes_.CompillerLB, compiler.Output);
        InsertFirst(panes_.CompillerLB, ">" + cmdLine);
        ShowNote(panes_.CompillerLB, place);
        ShowNote(panes_.CompillerLB, encoding.note);
        FillList(panes_.ErrorLB, compiler.Errors);
        markRejected = !result && source.rfind("\xEF\xBB\xBF", 0) == 0 &&
                       std::any_of(compiler.Output.begin(), compiler.Output.end(), [](const std::string& line) {
                           return line.find("illegal character: '\\ufeff'") != std::string::npos;
                       });
    }
    if (!place.note.empty()) ShowStatus(place.note);
    codeStates_.Compiled(IsAppletSource(), result);
    ApplyCodeStates();
    // javac takes a byte order mark for a character of the source; the mark
    // goes only when the user says so.
    if (markRejected && sourceEdit_->Form().Mark && !sourceEdit_->Modified() &&
        Prompts().Message(hwnd_,
                          "javac does not accept the byte order mark at the start of " + ExtractFileName(fileName_) +
                              ".\rSave it as UTF-8 without the mark and compile again?",
                          "Confirm", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1) == IDOK) {
        TSourceForm form = sourceEdit_->Form();
        form.Mark = false;
        sourceEdit_->SetForm(form);
        ShowSourceForm();
        sourceEdit_->SetModified(true);
        CodeCompileExecute();
    }
}

void TQPadF::CodeRunExecute() {
    RequireJavaSdk(*this);
    const BuildPlace place = PlaceOf(fileName_);
    TSourceFolder folder(place.folder);
    TInterpreter interpreter(launcher_);
    interpreter.OnMessage = ToolEvents();
    TWaitCursor wait;  // the program takes no input until the console closes
    RunShown(panes_.CompillerLB, interpreter, [&] { return MakeInterpreterCommandLine(place.className); }, place);
    if (!place.note.empty()) ShowStatus(place.note);
}

void TQPadF::CodeCreateHTMLExecute() {
    if (!IsAppletSource()) throw ENoAppletCode();
    const BuildPlace place = PlaceOf(fileName_);
    const std::string page = AppletPageText(Options().HtmlTemplate(), place.classFile);
    TSourceFolder folder(place.folder);
    WriteSourceFile(DefaultPageNameFor(fileName_), page);
    if (!place.note.empty()) ShowStatus(place.note);
}

void TQPadF::CodeRunAppletExecute() {
    RequireJavaSdk(*this);
    const TOptionsF& o = Options();
    if (!FileExists(o.JavaSdkDir() + o.AppletViewerFile()))
        throw Exception(AppletViewerMissingText(o.JavaSdkDir(), o.AppletViewerFile()));
    const BuildPlace place = PlaceOf(fileName_);
    TSourceFolder folder(place.folder);
    SendMessageA(panes_.CompillerLB, LB_RESETCONTENT, 0, 0);
    AddLine(panes_.CompillerLB, "looking for applet HTML file");
    try {
        FindAppletHtmlFile();
    } catch (...) {
        // A page the project names is the user's: never written over by the
        // default one under another name, its absence is the failure.
        if (!o.AppletHtmlFile().empty()) throw;
        AddLine(panes_.CompillerLB, "Creating default applet HTML file");
        CodeCreateHTMLExecute();
    }
    TAppletViewer viewer(launcher_);
    viewer.OnMessage = ToolEvents();
    TWaitCursor wait;
    RunShown(panes_.CompillerLB, viewer, [this] { return MakeAppletViewerCommandLine(); }, place);
    if (!place.note.empty()) ShowStatus(place.note);
}

bool TQPadF::OnListNotify(HWND list, UINT code) {
    if (list == panes_.ErrorLB && code == LBN_DBLCLK) {
        Guarded([&] { ErrorLBDblClick(); });
        return true;
    }
    return false;
}

void TQPadF::ErrorLBDblClick() {
    const LRESULT index = SendMessageA(panes_.ErrorLB, LB_GETCURSEL, 0, 0);
    if (index < 0) return;  // nothing selected: nowhere to go
    const std::string entry = ListItemText(panes_.ErrorLB, static_cast<int>(index));

    int line = -1, column = -1;
    ReadErrorEntry(entry, line, column);
    // An entry that names no line of this text ("No errors", or a line past the
    // end) leaves the caret where it is. The column is taken as it stands.
    const int start = line >= 1 ? sourceEdit_->LineIndex(line - 1) : -1;
    if (start >= 0) {
        sourceEdit_->SetSelStart(start + column);
        sourceEdit_->ScrollCaret();
    }
    sourceEdit_->SetFocus();
}
