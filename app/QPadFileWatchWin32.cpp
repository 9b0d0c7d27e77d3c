#include "QPadFileWatch.h"

TFileWatch::Stamp TFileWatch::StampOf(const std::string& path) {
    Stamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        stamp.state = Stamp::State::Present;
        stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        stamp.written = data.ftLastWriteTime;
        return stamp;
    }
    const DWORD error = GetLastError();
    // A name that now is a folder, or leads nowhere, is no longer the file.
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES || error == ERROR_FILE_NOT_FOUND ||
        error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
        stamp.state = Stamp::State::Absent;
    return stamp;
}

void TFileWatch::Remember(const std::string& path) {
    path_ = path;
    known_ = path.empty() ? Stamp() : StampOf(path);
}

TFileWatch::Change TFileWatch::Look() const {
    if (path_.empty()) return Change::None;
    const Stamp now = StampOf(path_);
    using State = Stamp::State;
    if (now.state == State::Unknown || known_.state == State::Unknown) return Change::None;
    if (now.state == State::Absent) return known_.state == State::Absent ? Change::None : Change::Gone;
    if (known_.state == State::Absent) return Change::Changed;  // made again by someone else
    const bool same = now.size == known_.size && CompareFileTime(&now.written, &known_.written) == 0;
    return same ? Change::None : Change::Changed;
}
