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
    SetFileName(kUntitledName);
    SourceEdit->SetText("");
    TSourceForm form;
    if (OptionsF && OptionsF->NewFilesUtf8()) form.Encoding = TEncoding::Utf8;
    SourceEdit->SetForm(form);
    SourceEdit->SetReadOnly(false);
    ResetEditorState("");
    ShowSourceForm();
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
    // A text the control did not take as it is stays unchanged and unsaved.
    SourceEdit->SetReadOnly(!SourceEdit->Faithful());
    ResetEditorState(text);
    ShowSourceForm();
    ShowStatus("");
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
}

void TQPadF::ShowSourceForm() {
    const TSourceForm& form = SourceEdit->Form();
    const std::string text = EncodingLabel(form) + "  " + LineEndLabel(form);
    SendMessageA(StatusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(text.c_str()));
}

void TQPadF::FileExit1Execute() { SendMessageA(hwnd_, WM_CLOSE, 0, 0); }
