#include "LineIndex.h"

#include <algorithm>

TLineIndex::TLineIndex(std::string_view text) : length_(static_cast<int>(text.size())) {
    starts_.push_back(0);
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\r') {
            if (i + 1 < n && text[i + 1] == '\n') ++i;
            else if (i + 2 < n && text[i + 1] == '\r' && text[i + 2] == '\n') i += 2;
        } else if (text[i] != '\n') {
            continue;
        }
        starts_.push_back(static_cast<int>(i + 1));
    }
}

void TLineIndex::Replace(int start, int end, std::string_view text) {
    if (Empty() || start < 0 || end < start || end > length_ ||
        (!text.empty() && (text.front() == '\n' || text.back() == '\r'))) {
        *this = TLineIndex();
        return;
    }
    // The lines that started inside the range go; those of text come; the rest move.
    const TLineIndex inserted(text);
    const auto from = std::upper_bound(starts_.begin(), starts_.end(), start);
    const auto to = std::upper_bound(from, starts_.end(), end);
    const int shift = static_cast<int>(text.size()) - (end - start);
    for (auto s = to; s != starts_.end(); ++s) *s += shift;
    const auto at = starts_.erase(from, to);
    std::vector<int> fresh(inserted.starts_.begin() + 1, inserted.starts_.end());
    for (int& s : fresh) s += start;
    starts_.insert(at, fresh.begin(), fresh.end());
    length_ += shift;
}

int TLineIndex::LineOf(int pos) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), pos);
    return after == starts_.begin() ? 0 : static_cast<int>(after - starts_.begin()) - 1;
}

int TLineIndex::LineStart(int line) const {
    return line >= 0 && line < LineCount() ? starts_[static_cast<std::size_t>(line)] : -1;
}

std::string LineShape(std::u16string_view text) {
    std::string shape(text.size(), 'x');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' || text[i] == u'\n') shape[i] = static_cast<char>(text[i]);
    return shape;
}
