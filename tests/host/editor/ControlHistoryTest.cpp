// The history on the control: which changes are ours, and what a change that
// came some other way does to the history.
#include "ControlHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A text in memory that notes whether the history counted each replacement as its own.
struct Buffer : ITextBuffer {
    Buffer(const TControlHistory& h, const char16_t* t) : text(t), history(&h) {}
    std::u16string text;
    const TControlHistory* history;
    int replaced = 0, own = 0;
    std::u16string Range(int start, int end) const override { return text.substr(start, end - start); }
    int Replace(int start, int end, const std::u16string& with) override {
        ++replaced;
        if (history->Own()) ++own;
        text.replace(start, end - start, with);
        return start + static_cast<int>(with.size());
    }
    void Selection(int& start, int& end) const override { start = end = 0; }
    void Select(int, int) override {}
};

TEST(ControlHistory, EveryWayInIsOursWhileItReplaces) {
    const struct {
        const char* name;
        std::function<void(TControlHistory&, Buffer&)> change;
        const char16_t* text;
    } cases[] = {
        {"an edit", [](TControlHistory& h, Buffer& b) { h.Edit(b, 0, 0, u"x", TEditKind::Other); }, u"xab"},
        {"a step of several",
         [](TControlHistory& h, Buffer& b) {
             h.BeginStep();
             h.Edit(b, 0, 1, u"", TEditKind::Other);
             h.Edit(b, 0, 0, u"y", TEditKind::Other);
             h.EndStep(b);
         },
         u"yb"},
        {"an undo",
         [](TControlHistory& h, Buffer& b) {
             h.Edit(b, 2, 2, u"c", TEditKind::Other);
             h.Replay(b, false);
         },
         u"ab"},
        {"a redo",
         [](TControlHistory& h, Buffer& b) {
             h.Edit(b, 2, 2, u"c", TEditKind::Other);
             h.Replay(b, false);
             h.Replay(b, true);
         },
         u"abc"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TControlHistory history;
        Buffer buf(history, u"ab");
        c.change(history, buf);
        EXPECT_EQ(buf.text, c.text);
        EXPECT_GT(buf.replaced, 0);
        EXPECT_EQ(buf.own, buf.replaced);
        EXPECT_FALSE(history.Own());
    }
}

TEST(ControlHistory, AChangeOfAnotherLengthLeavesNothingToUndo) {
    const struct {
        const char* name;
        int reported;
        bool canUndo, modified;
    } cases[] = {
        {"the length ours left", 3, true, true},
        {"another length", 4, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TControlHistory history;
        Buffer buf(history, u"ab");
        history.Loaded(2);
        history.Edit(buf, 2, 2, u"c", TEditKind::Other);
        history.Done(3);
        history.Reported(c.reported);
        EXPECT_EQ(history.Steps.CanUndo(), c.canUndo);
        EXPECT_EQ(history.Steps.Modified(), c.modified);
    }
    // A new text: saved as it is, its length the one to go by.
    TControlHistory history;
    history.Steps.MarkUnsaved();
    history.Loaded(5);
    EXPECT_FALSE(history.Steps.Modified());
    history.Reported(5);
    EXPECT_FALSE(history.Steps.Modified());
}

}  // namespace
