#include "Prompts.h"

#include <commdlg.h>

#include <vector>

namespace {

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
        ofn.Flags = request.flags;
        BOOL ok = request.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        if (!ok) return false;
        request.fileName = file.data();
        request.filterIndex = static_cast<int>(ofn.nFilterIndex);
        return true;
    }
};

SystemPrompts systemPrompts;
IPrompts* current = &systemPrompts;

}  // namespace

IPrompts& Prompts() { return *current; }

void SetPrompts(IPrompts* prompts) { current = prompts ? prompts : &systemPrompts; }
