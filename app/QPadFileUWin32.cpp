// The file commands of the main window: New, Open, Save, Save As, Exit, the
// recent files and a file dropped on the window, and the save-changes check
// that guards against losing the user's work.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "FilesWin32.h"
#include "LateBoundWin32.h"
#include "OptionsU.h"
#include "QPadU.h"
#include "QpText.h"
#include "RichEditQX.h"
#include "SourceFiles.h"

namespace {

const char kSourceFilter[] = "All Files (*.*)|*.*|Java code|*.java";
const UINT kConfirm = MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1;

FileDialogRequest SourceDialog(bool save) {
    FileDialogRequest d;
    d.save = save;
    d.filter = kSourceFilter;
    d.filterIndex = 2;  // "Java code"
    d.defaultExt = "java";
    // Read-only choice hidden, resizable; Save As asks about overwriting itself.
    d.flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
    return d;
}

}  // namespace

void TQPadF::InitFileDialogs() {
    openDialog_ = SourceDialog(false);
    saveDialog_ = SourceDialog(true);
}

std::string TQPadF::AskFileName(FileDialogRequest& dialog) {
    FileDialogRequest request = dialog;
    if (!Prompts().FileDialog(hwnd_, request)) return "";
    dialog.fileName = request.fileName;
    dialog.filterIndex = request.filterIndex;
    return request.fileName;
}

void TQPadF::CheckSaveChanges() {
    if (!sourceEdit_->Modified()) return;
    int answer = Prompts().Message(hwnd_, "Save changes to " + ExtractFileName(fileName_) + "?", "Confirm", kConfirm);
    if (answer == IDNO) return;
    if (answer != IDYES) throw EAbort();
    FileSave1Execute();
    // A Save As that was cancelled or refused saved nothing: stop, keep the work.
    if (sourceEdit_->Modified()) throw EAbort();
}

void TQPadF::FileNew1Execute() {
    CheckSaveChanges();
    StartUntitled(true);
}

// A new, empty text. The editor made with the window is empty already and has
// nothing to undo: it is kept rather than replaced by a fresh control.
void TQPadF::StartUntitled(bool replaceText) {
    SetFileName(kUntitledName);
    if (replaceText) sourceEdit_->SetText("");
    sourceEdit_->SetForm(NewFileForm());
    sourceEdit_->SetReadOnly(false);
    ResetEditorState("");
    ShowSourceForm();
}

TSourceForm TQPadF::NewFileForm() const {
    TSourceForm form;
    if (OptionsF && OptionsF->NewFilesUtf8()) form.Encoding = TEncoding::Utf8;
    return form;
}

void TQPadF::FileOpen1Execute() {
    CheckSaveChanges();
    std::string name = AskFileName(openDialog_);
    if (name.empty()) return;
    OpenSourceFile(name);
}

void TQPadF::OpenSourceFile(const std::string& path) {
    // A full name, so that Save and the build commands find it whatever the
    // current folder becomes.
    std::string name = path;
    if (DWORD n = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr)) {
        std::string full(n, '\0');
        full.resize(GetFullPathNameA(path.c_str(), n, full.data(), nullptr));
        if (!full.empty() && full.size() < n) name = full;
    }
    ShowStatus("Opening file...");
    const std::string text = ReadSourceFile(name);
    sourceEdit_->SetText(text);
    SetFileName(name);
    sourceEdit_->SetFocus();
    // A text the control did not take as it is stays unchanged and unsaved.
    sourceEdit_->SetReadOnly(!sourceEdit_->Faithful());
    ResetEditorState(text);
    ShowSourceForm();
    ShowStatus("");
    recentFiles_.Add(name);
    if (!sourceEdit_->Faithful())
        Prompts().Message(hwnd_,
                          "The editor cannot show every character of " + name + " as it is stored (" +
                              EncodingLabel(sourceEdit_->Form()) +
                              ").\rThe file is open read-only and will not be saved from here.",
                          "Error", MB_OK | MB_ICONWARNING);
}

std::string TQPadF::BytesToSave(const std::string& name) {
    if (!sourceEdit_->Faithful())
        throw Exception("Cannot save file " + name +
                        "\rThe editor could not hold every character of the file it was opened from; saving "
                        "would change them");
    std::string bytes;
    if (sourceEdit_->EncodedText(bytes)) return bytes;
    // Never a silent '?': the user chooses UTF-8, or nothing is written.
    const int answer = Prompts().Message(
        hwnd_,
        ExtractFileName(name) + " has characters that " + EncodingLabel(sourceEdit_->Form()) +
            " cannot hold.\rSave it as UTF-8 instead?",
        "Confirm", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (answer != IDOK) throw EAbort();
    TSourceForm form = sourceEdit_->Form();
    form.Encoding = TEncoding::Utf8;
    form.Mark = false;
    sourceEdit_->SetForm(form);
    ShowSourceForm();
    return sourceEdit_->Text();
}

void TQPadF::OpenFromCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return;
    if (args.size() > 1)
        throw Exception("Open one file at a time: the command line names " + std::to_string(args.size()) +
                        " files");
    const DWORD attributes = GetFileAttributesA(args[0].c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Exception("Cannot find the file " + args[0]);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw Exception(args[0] + " is a folder, not a file");
    OpenSourceFile(args[0]);
}

void TQPadF::LoadRecentFiles() {
    if (OptionsF) recentFiles_.Load(OptionsF->LoadRecentFiles());
}

void TQPadF::OpenRecentFile(std::size_t index) {
    if (index >= recentFiles_.Files().size()) return;
    const std::string name = recentFiles_.Files()[index];
    if (!FileExists(name)) {
        recentFiles_.Remove(index);
        throw Exception("Cannot find the file " + name + "\rIt is taken off the list of recent files.");
    }
    CheckSaveChanges();
    OpenSourceFile(name);
}

void TQPadF::OnDropFiles(HDROP drop) {
    std::vector<std::string> names;
    const auto query = LATE_BOUND(DragQueryFileA, kShellDll);
    const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = query(drop, i, nullptr, 0);
        std::string name(length + 1, '\0');
        name.resize(query(drop, i, name.data(), length + 1));
        names.push_back(name);
    }
    LATE_BOUND(DragFinish, kShellDll)(drop);
    // The program may be behind the window the files came from.
    SetForegroundWindow(hwnd_);
    if (commandDepth_ > 0) return;  // a command under way keeps the text as it is
    RunCommand([&] {
        if (names.size() != 1) throw Exception("Drop one file at a time: " + std::to_string(names.size()) + " were dropped");
        const DWORD attributes = GetFileAttributesA(names[0].c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Exception(names[0] + " is a folder, not a file");
        CheckSaveChanges();
        OpenSourceFile(names[0]);
    });
}

void TQPadF::FileSave1Execute() {
    ShowStatus("Saving file...");
    if (fileName_ == kUntitledName) {
        FileSaveAs1Execute();
    } else {
        WriteSourceFile(fileName_, BytesToSave(fileName_));
        sourceEdit_->SetModified(false);
    }
    ShowStatus("");
}

void TQPadF::FileSaveAs1Execute() {
    std::string name = AskFileName(saveDialog_);
    if (name.empty()) return;
    if (FileExists(name) &&
        Prompts().Message(hwnd_, "OK to overwrite " + name, "Confirm", kConfirm) != IDYES)
        return;
    WriteSourceFile(name, BytesToSave(name));
    SetFileName(name);
    sourceEdit_->SetModified(false);
    recentFiles_.Add(name);
}

void TQPadF::ShowSourceForm() {
    const TSourceForm& form = sourceEdit_->Form();
    const std::string text = EncodingLabel(form) + "  " + LineEndLabel(form);
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::FileExit1Execute() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
