#include "QPadRecentFiles.h"

#include <exception>

#include "OptionsStore.h"
#include "QPadActions.h"

void TRecentFiles::Load(const std::vector<std::string>& files) {
    files_.clear();
    for (auto f = files.rbegin(); f != files.rend(); ++f) files_ = WithRecentFile(files_, *f, kMaxRecentFiles);
    UpdateMenu();
}

void TRecentFiles::Add(const std::string& path) { Set(WithRecentFile(files_, path, kMaxRecentFiles)); }

void TRecentFiles::Remove(std::size_t index) {
    if (index >= files_.size()) return;
    std::vector<std::string> files = files_;
    files.erase(files.begin() + static_cast<std::ptrdiff_t>(index));
    Set(files);
}

int TRecentFiles::IndexOfCommand(UINT id) const {
    return id >= kFirstRecentId && id < kFirstRecentId + files_.size() ? static_cast<int>(id - kFirstRecentId) : -1;
}

void TRecentFiles::Set(const std::vector<std::string>& files) {
    files_ = files;
    UpdateMenu();
    if (!save_) return;
    try {
        save_(files_);
    } catch (const std::exception&) {
    }
}

void TRecentFiles::UpdateMenu() {
    if (!menu_) return;
    // The list and its separator go between the separator N1 and Exit.
    for (UINT id = kFirstRecentId; id <= kFirstRecentId + kMaxRecentFiles; ++id) RemoveMenu(menu_, id, MF_BYCOMMAND);
    const UINT exitId = static_cast<UINT>(ActionId::FileExit1);
    for (std::size_t i = 0; i < files_.size(); ++i) {
        std::string text(1, '&');
        text += std::to_string(i + 1);
        text += ' ';
        for (char c : files_[i]) {
            if (c == '&') text += '&';  // a literal ampersand, not an access key
            text += c;
        }
        InsertMenuA(menu_, exitId, MF_BYCOMMAND | MF_STRING, kFirstRecentId + i, text.c_str());
    }
    if (!files_.empty())
        InsertMenuA(menu_, exitId, MF_BYCOMMAND | MF_SEPARATOR, kFirstRecentId + kMaxRecentFiles, nullptr);
}
