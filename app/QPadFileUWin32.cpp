// The file commands of the main window: New, Open, Save, Save As, Exit, the
// recent files and a file dropped on the window, and the save-changes check
// that guards against losing the user's work.
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

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
    fileWatch_.Remember("");
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
    TFileWatch watch;  // as the file was before it was read
    watch.Remember(name);
    const std::string text = ReadSourceFile(name);
    sourceEdit_->SetText(text);
    SetFileName(name);
    sourceEdit_->SetFocus();
    // A text the control did not take as it is stays unchanged and unsaved.
    sourceEdit_->SetReadOnly(!sourceEdit_->Faithful());
    ResetEditorState(text);
    ShowSourceForm();
    fileWatch_ = watch;
    ShowStatus("");
    recentFiles_.Add(name);
    WarnIfNotFaithful(name);
}

void TQPadF::WarnIfNotFaithful(const std::string& name) {
    if (!sourceEdit_->Faithful())
        Prompts().Message(hwnd_,
                          "The editor cannot show every character of " + name + " as it is stored (" +
                              EncodingLabel(sourceEdit_->Form()) +
                              ").\rThe file is open read-only and will not be saved from here.",
                          "Error", MB_OK | MB_ICONWARNING);
}

void TQPadF::ReloadSourceFile() {
    TFileWatch watch;
    watch.Remember(fileName_);
    const std::string text = ReadSourceFile(fileName_);
    const int line = sourceEdit_->LineFromChar(sourceEdit_->SelStart());
    sourceEdit_->SetText(text);
    // The focus back in the editor, as Open puts it there, unless another of
    // the program's windows (the Find dialog) is in front.
    if (GetActiveWindow() == hwnd_) sourceEdit_->SetFocus();
    sourceEdit_->SetReadOnly(!sourceEdit_->Faithful());
    ResetEditorState(text);
    ShowSourceForm();
    fileWatch_ = watch;
    const int start = sourceEdit_->LineIndex(std::min(line, sourceEdit_->LineCount() - 1));
    if (start > 0) {
        sourceEdit_->SetSelStart(start);
        sourceEdit_->ScrollCaret();
    }
    ShowStatus("Reloaded: changed by another program");
    WarnIfNotFaithful(fileName_);
}

bool TQPadF::FollowFileOnDisk() {
    switch (fileWatch_.Look()) {
    case TFileWatch::Change::None:
        return true;
    case TFileWatch::Change::Gone:
        // Told once; the text is all that is left of the file, so closing asks to save it.
        fileWatch_.Accept();
        sourceEdit_->SetModified(true);
        ShowStatus("Deleted or renamed by another program");
        Prompts().Message(hwnd_,
                          ExtractFileName(fileName_) +
                              " has been deleted or renamed by another program.\rThe text is kept here, marked "
                              "modified; Save writes it to " + fileName_ + " again.",
                          kAppTitle, MB_OK | MB_ICONWARNING);
        return true;
    case TFileWatch::Change::Changed:
        break;
    }
    if (sourceEdit_->Modified() &&
        Prompts().Message(hwnd_,
                          ExtractFileName(fileName_) +
                              " has been changed by another program. Reload it and lose your changes?",
                          "Confirm", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        fileWatch_.Accept();  // the next save overwrites it knowingly
        return true;
    }
    ReloadSourceFile();
    return false;
}

void TQPadF::CheckFileWhenFree() {
    // A question in the middle of a command, or over a modal box, would act on
    // a text the command is using: it waits for their end. Nor is the text
    // replaced while the window is minimized or on its way back.
    if (commandDepth_ > 0 || closing_ || !IsWindowEnabled(hwnd_) || !IsWindowVisible(hwnd_) || IsIconic(hwnd_)) {
        fileCheckPending_ = true;
        return;
    }
    fileCheckPending_ = false;
    RunCommand([&] { FollowFileOnDisk(); });
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
        if (!FollowFileOnDisk()) return;  // reloaded, and the status says so
        WriteSourceFile(fileName_, BytesToSave(fileName_));
        sourceEdit_->SetModified(false);
        fileWatch_.Remember(fileName_);
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
    fileWatch_.Remember(name);
    recentFiles_.Add(name);
}

void TQPadF::ShowSourceForm() {
    const TSourceForm& form = sourceEdit_->Form();
    const std::string text = EncodingLabel(form) + "  " + LineEndLabel(form);
    SendMessageA(panes_.StatusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::FileExit1Execute() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
