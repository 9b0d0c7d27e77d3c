#include "Prompts.h"

#include <commdlg.h>
#include <shlobj.h>

#include <exception>
#include <memory>
#include <vector>

#include "LateBoundWin32.h"
#include "QpErrors.h"
#include "ScopedWin32.h"

namespace {

// A COM object's reference, released on every way out.
struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

// The shell's allocator and the item lists it handed out: the lists are freed
// with it, then it is released. Without the allocator nothing can free them.
class ShellAllocations {
public:
    ShellAllocations() {
        IMalloc* shellMalloc = nullptr;
        if (SUCCEEDED(LATE_BOUND(SHGetMalloc, kShellDll)(&shellMalloc))) malloc_.reset(shellMalloc);
    }
    ~ShellAllocations() {
        if (!malloc_) return;
        for (auto list = lists_.rbegin(); list != lists_.rend(); ++list) malloc_->Free(*list);
    }
    ShellAllocations(const ShellAllocations&) = delete;
    ShellAllocations& operator=(const ShellAllocations&) = delete;

    LPITEMIDLIST Keep(LPITEMIDLIST list) {
        if (list) lists_.push_back(list);
        return list;
    }

private:
    std::unique_ptr<IMalloc, ComRelease> malloc_;
    std::vector<LPITEMIDLIST> lists_;
};

class SystemPrompts : public IPrompts {
public:
    int Message(HWND owner, const std::string& text, const std::string& caption,
                UINT type) override {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
    }

    bool FileDialog(HWND owner, FileDialogRequest& request) override {
        // The filter's bars become the zero separators the dialog wants.
        std::string filter = request.filter;
        for (char& c : filter)
            if (c == '|') c = '\0';
        filter.push_back('\0');
        filter.push_back('\0');

        // Room for long paths; the offered name is cut only if it could not fit anyway.
        std::vector<char> file(32768, '\0');
        request.fileName.copy(file.data(), file.size() - 1);

        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = owner;
        ofn.lpstrFilter = filter.c_str();
        ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
        ofn.lpstrFile = file.data();
        ofn.nMaxFile = static_cast<DWORD>(file.size());
        ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
        ofn.lpstrInitialDir = request.initialDir.empty() ? nullptr : request.initialDir.c_str();
        ofn.Flags = request.flags;
        BOOL ok = request.save ? LATE_BOUND(GetSaveFileNameA, kDialogsDll)(&ofn)
                               : LATE_BOUND(GetOpenFileNameA, kDialogsDll)(&ofn);
        if (!ok) return false;
        request.fileName = file.data();
        request.filterIndex = static_cast<int>(ofn.nFilterIndex);
        return true;
    }

    bool ChooseFolder(HWND owner, FolderDialogRequest& request) override {
        // Browsing an empty drive must not raise the system's "no disk" box.
        const ScopedErrorMode errorMode(SEM_FAILCRITICALERRORS);
        ShellAllocations allocations;
        LPITEMIDLIST root = allocations.Keep(ParseFolder(request.root));

        // Only an existing folder is pre-selected; the callback sees this copy.
        std::string initial = request.directory;
        DWORD attrs = GetFileAttributesA(initial.c_str());
        if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) initial.clear();

        char display[MAX_PATH] = "";
        BROWSEINFOA info = {};
        info.hwndOwner = owner;
        info.pidlRoot = root;
        info.pszDisplayName = display;
        info.lpszTitle = request.title.c_str();
        info.ulFlags = request.flags;
        info.lpfn = &BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(initial.empty() ? nullptr : initial.c_str());
        LPITEMIDLIST chosen = allocations.Keep(LATE_BOUND(SHBrowseForFolderA, kShellDll)(&info));

        bool ok = false;
        if (chosen) {
            char path[MAX_PATH] = "";
            if (LATE_BOUND(SHGetPathFromIDListA, kShellDll)(chosen, path)) {
                request.directory = path;
                ok = true;
            }
        }
        return ok;
    }

    bool FontDialog(HWND owner, FontDialogRequest& request) override {
        LOGFONTA font = request.logFont;
        CHOOSEFONTA cf = {};
        cf.lStructSize = sizeof cf;
        cf.hwndOwner = owner;
        cf.lpLogFont = &font;
        cf.Flags = request.flags | CF_INITTOLOGFONTSTRUCT;
        cf.rgbColors = request.color;
        if (!LATE_BOUND(ChooseFontA, kDialogsDll)(&cf)) return false;
        request.logFont = font;
        request.color = cf.rgbColors;
        return true;
    }

private:
    // The folder's item list through the desktop folder; null (the whole
    // namespace) when it can't be resolved.
    static LPITEMIDLIST ParseFolder(const std::string& folder) {
        if (folder.empty()) return nullptr;
        IShellFolder* desktopFolder = nullptr;
        if (FAILED(LATE_BOUND(SHGetDesktopFolder, kShellDll)(&desktopFolder))) return nullptr;
        const std::unique_ptr<IShellFolder, ComRelease> desktop(desktopFolder);
        int n = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
        std::vector<WCHAR> wide(n > 0 ? n : 1, L'\0');
        LPITEMIDLIST list = nullptr;
        if (n > 0 && MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), n)) {
            ULONG eaten = 0;
            if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &list, nullptr)))
                list = nullptr;
        }
        return list;
    }

    static int CALLBACK BrowseCallback(HWND dialog, UINT msg, LPARAM, LPARAM data) {
        if (msg == BFFM_INITIALIZED && data)
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
        return 0;
    }
};

SystemPrompts systemPrompts;
IPrompts* current = &systemPrompts;

}  // namespace

IPrompts& Prompts() { return *current; }

void SetPrompts(IPrompts* prompts) { current = prompts ? prompts : &systemPrompts; }

namespace {

void PlainFailureBox() {
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        MessageBoxA(nullptr, e.what(), "Quillpad", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, "Unexpected failure", "Quillpad", MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

}  // namespace

void (*StrayFailureHandler)() = &PlainFailureBox;

void HandleStrayFailure() {
    try {
        StrayFailureHandler();
    } catch (...) {
        // The handler itself failed: nothing is left that could show it.
    }
}
