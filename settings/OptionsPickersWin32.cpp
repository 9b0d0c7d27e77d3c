// The options dialog's pickers: the SDK's folder, the editor's font and the
// applet's HTML page, each through the modal prompts' seam.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "ControlsWin32.h"
#include "EditorFontWin32.h"
#include "OptionsDialogWin32.h"
#include "OptionsU.h"
#include "Prompts.h"
#include "QpText.h"

void TOptionsF::JDirSBClick() {
    FolderDialogRequest request;
    request.title = "Select " + ControlText(Label1);
    // The whole computer, the folder now set shown selected: another SDK may be anywhere.
    request.root.clear();
    request.directory = JavaSdkDir();
    request.flags = BIF_RETURNONLYFSDIRS;
    if (!Prompts().ChooseFolder(hwnd_, request)) return;
    std::string dir = request.directory;
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    if (CheckJavaSdkDir(dir)) {
        SetJavaSdkDir(dir);
        SetJavaSdkValid(true);
    }
}

void TOptionsF::EdFontSBClick() {
    TEditorFont& font = EditorFont();
    const int dpi = options_dialog::ScreenDpi();
    // The dialog opens on the editor's font as it is now.
    LOGFONTA& lf = fontD_.logFont;
    lf = LOGFONTA{};
    lstrcpynA(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    lf.lfHeight = -MulDiv(font.size, dpi, 72);
    lf.lfWeight = font.style & TEditorFont::Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.style & TEditorFont::Italic ? TRUE : FALSE;
    lf.lfUnderline = font.style & TEditorFont::Underline ? TRUE : FALSE;
    lf.lfStrikeOut = font.style & TEditorFont::StrikeOut ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font.charset);
    const COLORREF systemText = GetSysColor(COLOR_WINDOWTEXT);
    fontD_.color = font.color == TEditorFont::kWindowText ? systemText : static_cast<COLORREF>(font.color);
    if (!Prompts().FontDialog(hwnd_, fontD_)) return;
    // The whole font: face, size, style, colour and character set; one notification.
    font.name = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    // The dialog sets no bound; the program keeps to the one the settings file is
    // read with, so that a size it writes is the size it reads at the next start.
    font.size = std::clamp(MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, dpi), kMinFontSize,
                           kMaxFontSize);
    font.style = (lf.lfWeight >= FW_BOLD ? TEditorFont::Bold : 0u) |
                 (lf.lfItalic ? TEditorFont::Italic : 0u) |
                 (lf.lfUnderline ? TEditorFont::Underline : 0u) |
                 (lf.lfStrikeOut ? TEditorFont::StrikeOut : 0u);
    // The system's colour stays the system's, following a change of theme.
    if (font.color != TEditorFont::kWindowText || fontD_.color != systemText) font.color = fontD_.color;
    font.charset = lf.lfCharSet;
    font.Changed();
}

void TOptionsF::SpeedButton1Click() {
    openD_.filterIndex = 2;  // the HTML pages, every time
    openD_.initialDir = ExtractFilePath(SourceFile());
    openD_.fileName.clear();  // so that the dialog starts in initialDir
    if (!Prompts().FileDialog(hwnd_, openD_)) return;
    SetAppletHtmlFile(openD_.fileName);
}
