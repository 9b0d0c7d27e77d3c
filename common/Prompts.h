#pragma once
// The one seam for modal prompts. Every message box and common dialog the
// program shows goes through Prompts(), so that tests can answer them and check
// what was asked (text, caption, buttons, filter, flags, folders).
#include <windows.h>

#include <string>

struct FileDialogRequest {
    bool save = false;         // the save dialog rather than the open dialog
    std::string filter;        // "Description|pattern|Description|pattern"
    int filterIndex = 1;       // 1-based entry of the filter shown first
    std::string defaultExt;    // without the dot, added to a name typed without one
    DWORD flags = 0;           // OFN_* flags
    std::string fileName;      // in: the name offered; out: the chosen full path
    std::string initialDir;    // where the dialog starts when fileName has no folder; "" lets the platform choose
};

// The shell's folder picker.
struct FolderDialogRequest {
    std::string title;         // shown above the folder tree
    std::string root;          // top of the tree; "" or an unresolvable one is the whole namespace
    std::string directory;     // in: pre-selected when it exists; out: the chosen folder
    UINT flags = 0;            // BIF_* flags
};

// The font dialog. The chosen font comes back in logFont and color.
struct FontDialogRequest {
    LOGFONTA logFont = {};
    COLORREF color = 0;
    DWORD flags = 0;           // CF_* flags
};

class IPrompts {
public:
    virtual ~IPrompts() = default;
    // As MessageBoxA: type holds the MB_* flags, the result is IDOK, IDYES, ...
    virtual int Message(HWND owner, const std::string& text, const std::string& caption,
                        UINT type) = 0;
    // False when the user cancelled the dialog.
    virtual bool FileDialog(HWND owner, FileDialogRequest& request) = 0;
    // False when the user cancelled; the result path has at most MAX_PATH - 1 characters.
    virtual bool ChooseFolder(HWND owner, FolderDialogRequest& request) = 0;
    virtual bool FontDialog(HWND owner, FontDialogRequest& request) = 0;
};

// The prompts in force: the real dialogs unless a test installed its own.
IPrompts& Prompts();
// Installs a replacement; nullptr goes back to the real dialogs.
void SetPrompts(IPrompts* prompts);
