#pragma once
// The file being edited as it was on disk when it was last opened or saved
// (its size and last-write time), so that a change made by another program is
// seen before the editor's text is saved over it.
#include <windows.h>

#include <string>

class TFileWatch {
public:
    enum class Change { None, Changed, Gone };

    // The file at path as it is now becomes the known one; "" watches nothing
    // (an untitled text).
    void Remember(const std::string& path);
    // How the file differs from the known one. A file that cannot be looked at
    // just now (not a missing one) counts as unchanged.
    Change Look() const;
    // The file as it is now is known to the user: that change is not reported again.
    void Accept() { Remember(path_); }

private:
    struct Stamp {
        enum class State { Present, Absent, Unknown } state = State::Unknown;
        ULONGLONG size = 0;
        FILETIME written = {};
    };
    static Stamp StampOf(const std::string& path);

    std::string path_;
    Stamp known_;
};
