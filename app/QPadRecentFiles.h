#pragma once
// The File menu's list of files last opened or saved: the most recent first,
// at most kMaxRecentFiles, each file once (names compared without regard to
// case), shown as items between the separator above Exit and Exit, and kept
// in the [Recent] section of qp.ini.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TRecentFiles {
public:
    // Writes the list where it is kept between runs (qp.ini in the program);
    // a failure costs no more than the list: it is dropped.
    using Save = std::function<void(const std::vector<std::string>& files)>;

    explicit TRecentFiles(Save save = {}) : save_(std::move(save)) {}

    // The File menu, which shows the list from now on.
    void SetMenu(HMENU fileMenu) { menu_ = fileMenu; }
    // The list as read back, the most recent first; it is not written again.
    void Load(const std::vector<std::string>& files);
    // A file opened or saved: it heads the list.
    void Add(const std::string& path);
    // Takes the file at index off the list (one that no longer exists).
    void Remove(std::size_t index);

    const std::vector<std::string>& Files() const { return files_; }
    // The index of the file a menu command opens, or -1 when the command is
    // not one of the list's.
    int IndexOfCommand(UINT id) const;

private:
    void Set(const std::vector<std::string>& files);
    void UpdateMenu();

    Save save_;
    HMENU menu_ = nullptr;
    std::vector<std::string> files_;
};
