// The file commands of the main window: New, Open, Save, Save As, Exit and
// the save-changes check that guards against losing the user's work.
#include <windows.h>
#include <commdlg.h>

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
    SetFileName(kUntitledName);
    SourceEdit->SetText("");
    ResetEditorState("");
}

void TQPadF::FileOpen1Execute() {
    CheckSaveChanges();
    std::string name = AskFileName(openDialog_);
    if (name.empty()) return;
    ShowStatus("Opening file...");
    const std::string text = ReadSourceFile(name);
    SourceEdit->SetText(text);
    SetFileName(name);
    SourceEdit->SetFocus();
    SourceEdit->SetReadOnly(false);
    ResetEditorState(text);
    ShowStatus("");
}

void TQPadF::FileSave1Execute() {
    ShowStatus("Saving file...");
    if (FileName == kUntitledName) {
        FileSaveAs1Execute();
    } else {
        WriteSourceFile(FileName, SourceEdit->Text());
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
    WriteSourceFile(name, SourceEdit->Text());
    SetFileName(name);
    SourceEdit->SetModified(false);
}

void TQPadF::FileExit1Execute() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
