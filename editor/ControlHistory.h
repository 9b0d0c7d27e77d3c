#pragma once
// The editor's history on its control: the steps, and what the history knows
// of the control's own reports. A change of ours is under way while the
// history replaces text, so the control's notifications of it wait; the
// length each of ours leaves tells a change that came some other way, after
// which the history no longer fits the text.
#include <cstdint>
#include <string>

#include "EditHistory.h"

class TControlHistory {
public:
    TEditHistory Steps;

    // One of our own changes is under way.
    bool Own() const { return Editing > 0; }

    // One change as a step (or part of the step begun).
    void Edit(ITextBuffer& buf, int start, int end, const std::u16string& text, TEditKind kind,
              std::int64_t nowMs = 0, const std::u16string* removed = nullptr) {
        ++Editing;
        Steps.Edit(buf, start, end, text, kind, nowMs, removed);
        --Editing;
    }
    // Several changes as one step, ours from Begin to End.
    void BeginStep() {
        ++Editing;
        Steps.BeginStep();
    }
    void EndStep(ITextBuffer& buf) {
        Steps.EndStep(buf);
        --Editing;
    }
    // Undo (redo false) or Redo, as one of ours.
    void Replay(ITextBuffer& buf, bool redo);

    // A new text of length characters: nothing to undo, and saved as it is.
    void Loaded(int length);
    // Ours is done; the text is length characters long now.
    void Done(int length) { ExpectedLength = length; }
    // The control reported a change that is not ours, the text now length long.
    void Reported(int length);

private:
    int Editing = 0;        // our own changes under way
    int ExpectedLength = 0;  // the length after our last change
};
