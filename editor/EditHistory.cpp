#include "EditHistory.h"

#include <utility>

namespace {

bool HasLineBreak(const std::u16string& s) { return s.find_first_of(u"\r\n") != std::u16string::npos; }

int Length(const std::u16string& s) { return static_cast<int>(s.size()); }

bool IsPlainAscii(const std::u16string& s) {
    for (char16_t c : s)
        if (c >= 0x80 || c == u'\r' || c == u'\n') return false;
    return true;
}

}  // namespace

void TEditHistory::Edit(ITextBuffer& buf, int start, int end, const std::u16string& text, TEditKind kind,
                        std::int64_t nowMs, const std::u16string* removed) {
    if (start > end) std::swap(start, end);
    Change c{start, removed && Length(*removed) == end - start ? *removed : buf.Range(start, end), {}};
    int selStart = 0, selEnd = 0;
    buf.Selection(selStart, selEnd);
    const int stored = buf.Replace(start, end, text);
    // What the buffer holds now, not what was asked for: undo must put back
    // exactly what was there. A control stores line breaks its own way, and a
    // letter its code page lacks as '?'; reading back costs a search from the
    // top of a long text, so plain ASCII, what typing gives, is not read.
    if (stored - start == Length(text) && IsPlainAscii(text))
        c.inserted = text;
    else
        c.inserted = buf.Range(start, stored);
    if (c.removed.empty() && c.inserted.empty()) return;

    if (depth_ > 0) {
        if (!stepStarted_) {
            NewStep(buf, TEditKind::Other, nowMs);
            steps_.back().selStart = selStart;
            steps_.back().selEnd = selEnd;
            stepStarted_ = true;
        }
        steps_.back().changes.push_back(std::move(c));
        steps_.back().caret = stored;
        return;
    }
    const bool attach = kind == TEditKind::Attach && current_ > 0 && current_ == steps_.size() && saved_ != current_;
    if (attach || Merge(c, kind, nowMs)) {
        if (attach) steps_.back().changes.push_back(std::move(c));
    } else {
        Step& step = NewStep(buf, kind, nowMs);
        step.selStart = selStart;
        step.selEnd = selEnd;
        step.changes.push_back(std::move(c));
    }
    steps_.back().caret = stored;
    steps_.back().time = nowMs;
    open_ = kind == TEditKind::Typing || kind == TEditKind::Deleting;
}

bool TEditHistory::Merge(const Change& c, TEditKind kind, std::int64_t nowMs) {
    if (!open_ || current_ == 0 || current_ != steps_.size() || saved_ == current_) return false;
    Step& last = steps_.back();
    if (last.kind != kind || last.changes.size() != 1 || nowMs - last.time > kGroupPause || nowMs < last.time)
        return false;
    if (HasLineBreak(c.inserted) || HasLineBreak(c.removed)) return false;
    Change& prev = last.changes.front();
    if (kind == TEditKind::Typing) {
        if (!c.removed.empty() || c.pos != prev.pos + Length(prev.inserted)) return false;
        prev.inserted += c.inserted;
        return true;
    }
    if (kind != TEditKind::Deleting || !c.inserted.empty() || !prev.inserted.empty()) return false;
    if (c.pos + Length(c.removed) == prev.pos) {  // Backspace
        prev.removed = c.removed + prev.removed;
        prev.pos = c.pos;
        return true;
    }
    if (c.pos == prev.pos) {  // Delete
        prev.removed += c.removed;
        return true;
    }
    return false;
}

TEditHistory::Step& TEditHistory::NewStep(ITextBuffer&, TEditKind kind, std::int64_t nowMs) {
    // A new change drops what could be redone, and with it a saved point there.
    if (saved_ != kNowhere && saved_ > current_) saved_ = kNowhere;
    steps_.resize(current_);
    steps_.emplace_back();
    steps_.back().kind = kind;
    steps_.back().time = nowMs;
    current_ = steps_.size();
    return steps_.back();
}

void TEditHistory::BeginStep() {
    if (depth_++ == 0) stepStarted_ = false;
}

void TEditHistory::EndStep(ITextBuffer&) {
    if (depth_ == 0 || --depth_ > 0) return;
    stepStarted_ = false;
    open_ = false;
}

bool TEditHistory::Undo(ITextBuffer& buf) {
    if (!CanUndo() || depth_ > 0) return false;
    const Step& step = steps_[--current_];
    for (auto c = step.changes.rbegin(); c != step.changes.rend(); ++c)
        buf.Replace(c->pos, c->pos + Length(c->inserted), c->removed);
    buf.Select(step.selStart, step.selEnd);
    open_ = false;
    return true;
}

bool TEditHistory::Redo(ITextBuffer& buf) {
    if (!CanRedo() || depth_ > 0) return false;
    const Step& step = steps_[current_++];
    for (const Change& c : step.changes) buf.Replace(c.pos, c.pos + Length(c.removed), c.inserted);
    buf.Select(step.caret, step.caret);
    open_ = false;
    return true;
}

void TEditHistory::Clear() {
    steps_.clear();
    current_ = 0;
    saved_ = 0;
    open_ = false;
}

void TEditHistory::MarkSaved() {
    saved_ = current_;
    open_ = false;
}
