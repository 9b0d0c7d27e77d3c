// The file commands of the main window: New, Open, Save, Save As, Exit and
// the save-changes check that guards against losing the user's work.
#include <windows.h>
#include <commdlg.h>

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
    if (!SourceEdit->Modified()) return;
    int answer = Prompts().Message(hwnd_, "Save changes to " + ExtractFileName(FileName) + "?", "Confirm", kConfirm);
    if (answer == IDNO) return;
    if (answer != IDYES) throw EAbort();
    FileSave1Execute();
    // A Save As that was cancelled or refused saved nothing: stop, keep the work.
    if (SourceEdit->Modified()) throw EAbort();
}

void TQPadF::FileNew1Execute() {
    CheckSaveChanges();
    StartUntitled(true);
}

// A new, empty text. The editor made with the window is empty already and has
// nothing to undo: it is kept rather than replaced by a fresh control.
void TQPadF::StartUntitled(bool replaceText) {
    SetFileName(kUntitledName);
    if (replaceText) SourceEdit->SetText("");
    SourceEdit->SetForm(NewFileForm());
    SourceEdit->SetReadOnly(false);
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
    SourceEdit->SetText(text);
    SetFileName(name);
    SourceEdit->SetFocus();
    // A text the control did not take as it is stays unchanged and unsaved.
    SourceEdit->SetReadOnly(!SourceEdit->Faithful());
    ResetEditorState(text);
    ShowSourceForm();
    ShowStatus("");
    AddRecentFile(name);
    if (!SourceEdit->Faithful())
        Prompts().Message(hwnd_,
                          "The editor cannot show every character of " + name + " as it is stored (" +
                              EncodingLabel(SourceEdit->Form()) +
                              ").\rThe file is open read-only and will not be saved from here.",
                          "Error", MB_OK | MB_ICONWARNING);
}

std::string TQPadF::BytesToSave(const std::string& name) {
    if (!SourceEdit->Faithful())
        throw Exception("Cannot save file " + name +
                        "\rThe editor could not hold every character of the file it was opened from; saving "
                        "would change them");
    std::string bytes;
    if (SourceEdit->EncodedText(bytes)) return bytes;
    // Never a silent '?': the user chooses UTF-8, or nothing is written.
    const int answer = Prompts().Message(
        hwnd_,
        ExtractFileName(name) + " has characters that " + EncodingLabel(SourceEdit->Form()) +
            " cannot hold.\rSave it as UTF-8 instead?",
        "Confirm", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (answer != IDOK) throw EAbort();
    TSourceForm form = SourceEdit->Form();
    form.Encoding = TEncoding::Utf8;
    form.Mark = false;
    SourceEdit->SetForm(form);
    ShowSourceForm();
    return SourceEdit->Text();
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
    if (!OptionsF) return;
    std::vector<std::string> files = OptionsF->LoadRecentFiles();
    recentFiles_.clear();
    for (auto f = files.rbegin(); f != files.rend(); ++f) recentFiles_ = WithRecentFile(recentFiles_, *f, kMaxRecentFiles);
    UpdateRecentMenu();
}

void TQPadF::SetRecentFiles(const std::vector<std::string>& files) {
    recentFiles_ = files;
    UpdateRecentMenu();
    // The list is a convenience: a qp.ini that cannot be written costs no more than the list.
    if (OptionsF) {
        try {
            OptionsF->SaveRecentFiles(recentFiles_);
        } catch (const std::exception&) {
        }
    }
}

void TQPadF::AddRecentFile(const std::string& path) {
    SetRecentFiles(WithRecentFile(recentFiles_, path, kMaxRecentFiles));
}

void TQPadF::OpenRecentFile(std::size_t index) {
    if (index >= recentFiles_.size()) return;
    const std::string name = recentFiles_[index];
    if (!SourceFileExists(name)) {
        std::vector<std::string> files = recentFiles_;
        files.erase(files.begin() + static_cast<std::ptrdiff_t>(index));
        SetRecentFiles(files);
        throw Exception("Cannot find the file " + name + "\rIt is taken off the list of recent files.");
    }
    CheckSaveChanges();
    OpenSourceFile(name);
}

void TQPadF::FileSave1Execute() {
    ShowStatus("Saving file...");
    if (FileName == kUntitledName) {
        FileSaveAs1Execute();
    } else {
        WriteSourceFile(FileName, BytesToSave(FileName));
        SourceEdit->SetModified(false);
    }
    ShowStatus("");
}

void TQPadF::FileSaveAs1Execute() {
    std::string name = AskFileName(saveDialog_);
    if (name.empty()) return;
    if (SourceFileExists(name) &&
        Prompts().Message(hwnd_, "OK to overwrite " + name, "Confirm", kConfirm) != IDYES)
        return;
    WriteSourceFile(name, BytesToSave(name));
    SetFileName(name);
    SourceEdit->SetModified(false);
    AddRecentFile(name);
}

void TQPadF::ShowSourceForm() {
    const TSourceForm& form = SourceEdit->Form();
    const std::string text = EncodingLabel(form) + "  " + LineEndLabel(form);
    SendMessageA(StatusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::FileExit1Execute() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
