#pragma once
// The editor's undo history: every change to the text is a step of one or more
// replacements (position, removed text, inserted text), applied through a small
// text-buffer interface so the same code runs on the rich-edit window and on a
// model in the fuzzing harness. Texts are UTF-16, as the control holds them.
#include <cstdint>
#include <string>
#include <vector>

// What the history needs from the text under it. Positions count characters as
// the control does (a CR LF line break is two).
class ITextBuffer {
public:
    virtual ~ITextBuffer() = default;
    virtual std::u16string Range(int start, int end) const = 0;
    // Replaces [start, end) with text; returns where the text as stored ends (a
    // control may store a line break its own way).
    virtual int Replace(int start, int end, const std::u16string& text) = 0;
    virtual void Selection(int& start, int& end) const = 0;
    // Selects [start, end) and brings it into view.
    virtual void Select(int start, int end) = 0;
};

// How a change groups with the one before it.
enum class TEditKind {
    Typing,    // typed characters: a run on one line is one step
    Deleting,  // Backspace or Delete of nothing selected: a run is one step
    Other,     // a step of its own
    Attach,    // part of the step before it (the indentation after an Enter)
};

class TEditHistory {
public:
    // A pause longer than this (in ms) between typed characters starts a new step.
    static constexpr std::int64_t kGroupPause = 1000;

    // Replaces [start, end) with text in buf as one change and records it;
    // removed, when the caller has read it already, is what [start, end) holds.
    void Edit(ITextBuffer& buf, int start, int end, const std::u16string& text, TEditKind kind,
              std::int64_t nowMs = 0, const std::u16string* removed = nullptr);
    // Several edits as one step (Replace All, an indented block): between Begin and End.
    void BeginStep();
    void EndStep(ITextBuffer& buf);

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ < steps_.size(); }
    bool Undo(ITextBuffer& buf);
    bool Redo(ITextBuffer& buf);

    // The next change starts a step of its own (the caret moved, the text was saved).
    void BreakGroup() { open_ = false; }
    // Forgets everything; the text as it is counts as saved.
    void Clear();
    void MarkSaved();
    // The text no longer matches any state of the history (it was saved elsewhere).
    void MarkUnsaved() { saved_ = kNowhere; open_ = false; }
    bool Modified() const { return saved_ != current_; }
    std::size_t StepCount() const { return steps_.size(); }
    std::size_t Position() const { return current_; }

private:
    struct Change {
        int pos;
        std::u16string removed, inserted;
    };
    struct Step {
        std::vector<Change> changes;
        int selStart = 0, selEnd = 0;  // the selection before the step
        int caret = 0;                  // the caret after it
        TEditKind kind = TEditKind::Other;
        std::int64_t time = 0;
    };
    static constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

    bool Merge(const Change& c, TEditKind kind, std::int64_t nowMs);
    Step& NewStep(ITextBuffer& buf, TEditKind kind, std::int64_t nowMs);

    std::vector<Step> steps_;
    std::size_t current_ = 0;  // steps before this one are applied
    std::size_t saved_ = 0;    // the position of the saved text, or kNowhere
    bool open_ = false;        // the last step may take the next change
    int depth_ = 0;            // BeginStep nesting
    bool stepStarted_ = false;
};
