// A random walk of editing keys on the real control, each key checked against
// a model of what it must do to the text, and the saved bytes against the
// model's at the end. The model takes what Enter and Tab insert from the key
// logic itself; what it checks is that the control and the history carry
// every edit out exactly. QP_EDITOR_WALK_SECONDS=n walks for n seconds from a
// new random start (printed; QP_EDITOR_WALK_START replays one).
#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "../support/Clipboard.h"
#include "RichEditQX.h"

namespace {

TRichEditQX* g_walked = nullptr;

LRESULT CALLBACK WalkHostProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if ((msg == WM_COMMAND || msg == WM_NOTIFY) && g_walked && g_walked->HandleParentMessage(msg, wParam, lParam))
        return 0;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

bool IsBreakInside(const std::u16string& text, int pos) {
    return pos > 0 && pos < static_cast<int>(text.size()) && text[pos - 1] == u'\r' && text[pos] == u'\n';
}

// The text as the editor must hold it (every line break CR LF), its selection,
// and the key logic over both.
class ModelText : public ITextControl {
public:
    std::u16string text;
    int selStart = 0, selEnd = 0;
    TEditorKeys keys{*this};
    // What the last edit did, for the history model: replaced (an edit of its
    // own), attached (the Enter's indentation, part of the step before).
    bool edited = false, attached = false;
    TEditKind kind = TEditKind::Other;

    int LineStart(int line) const {
        int start = 0;
        for (int i = 0; i < line; ++i) start = static_cast<int>(text.find(u"\r\n", start)) + 2;
        return start;
    }
    int LineOf(int pos) const {
        int line = 0;
        for (std::size_t at = text.find(u"\r\n"); at != std::u16string::npos && static_cast<int>(at) < pos;
             at = text.find(u"\r\n", at + 2))
            ++line;
        return line;
    }
    int LineEnd(int pos) const {
        const std::size_t at = text.find(u"\r\n", static_cast<std::size_t>(pos));
        return at == std::u16string::npos ? static_cast<int>(text.size()) : static_cast<int>(at);
    }
    int Lines() const { return LineOf(static_cast<int>(text.size())) + 1; }

    void Replace(int start, int end, const std::u16string& with, TEditKind how, bool attach = false) {
        text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
        text.insert(static_cast<std::size_t>(start), with);
        selStart = selEnd = start + static_cast<int>(with.size());
        if (attach) {
            attached = true;
        } else {
            edited = true;
            kind = how;
        }
    }
    void ReplaceSelection(const std::u16string& with, TEditKind how) { Replace(selStart, selEnd, with, how); }

    TCaretPos CaretPos() const override { return {selEnd - LineStart(LineOf(selEnd)), LineOf(selEnd)}; }
    std::string LineText(int line) const override {
        if (line < 0 || line >= Lines()) return "";
        const int start = LineStart(line);
        const std::u16string part = text.substr(start, LineEnd(start) - start);
        return std::string(part.begin(), part.end());  // the walk types ASCII only
    }
    void InsertAtCaret(const std::string& blanks, bool withPrevious) override {
        Replace(selStart, selEnd, std::u16string(blanks.begin(), blanks.end()), TEditKind::Other, withPrevious);
    }
    bool SelectedLines(int& first, int& last) const override {
        first = LineOf(selStart);
        last = LineOf(selEnd);
        if (first == last) return false;
        if (selEnd == LineStart(last)) --last;
        return true;
    }
    void ChangeIndents(int first, const std::vector<TIndentChange>& changes) override {
        const int blockStart = LineStart(first);
        int pos = blockStart;
        for (const TIndentChange& change : changes) {
            const int cut = std::min(change.remove, LineEnd(pos) - pos);
            text.replace(static_cast<std::size_t>(pos), static_cast<std::size_t>(cut),
                         static_cast<std::size_t>(change.add), u' ');
            pos = LineEnd(pos) + 2;
        }
        const int next = first + static_cast<int>(changes.size());
        selStart = blockStart;
        selEnd = next < Lines() ? LineStart(next) : static_cast<int>(text.size());
        edited = true;
        kind = TEditKind::Other;
    }
    void SetPainting(bool) override {}
};

// The texts each edit left, for Undo and Redo. Steps group as the history's
// rules allow (typing on a line, a run of deletes): where an edit may have
// joined the step before, an undo may land at any point of the run.
class ModelHistory {
public:
    explicit ModelHistory(const std::u16string& first) : points_{{first, false}} {}

    void Edit(const std::u16string& text, bool mayJoin) {
        points_.resize(current_ + 1);
        points_.push_back({text, mayJoin});
        ++current_;
    }
    void Attach(const std::u16string& text) { points_[current_].text = text; }
    // False when the control's text is no point Undo (or Redo) may reach.
    bool Undo(const std::u16string& shown) {
        if (current_ == 0) return shown == points_[0].text;
        std::size_t first = current_;
        while (first > 1 && points_[first].mayJoin) --first;
        return Land(shown, first - 1, current_ - 1);
    }
    bool Redo(const std::u16string& shown) {
        if (current_ + 1 == points_.size()) return shown == points_[current_].text;
        std::size_t last = current_ + 1;
        while (last + 1 < points_.size() && points_[last + 1].mayJoin) ++last;
        return Land(shown, current_ + 1, last);
    }

private:
    bool Land(const std::u16string& shown, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i <= to; ++i) {
            if (points_[i].text == shown) {
                current_ = i;
                return true;
            }
        }
        return false;
    }
    struct Point {
        std::u16string text;
        bool mayJoin;
    };
    std::vector<Point> points_;
    std::size_t current_ = 0;
};

std::string Visible(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) {
        if (c == u'\r') out += "\\r";
        else if (c == u'\n') out += "\\n";
        else if (c < 0x80) out += static_cast<char>(c);
        else out += "\\u" + std::to_string(static_cast<int>(c));
    }
    return out;
}

LPARAM KeyData(UINT vk, bool up) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, 0) & 0xFF) << 16);
    if (up) data |= static_cast<LPARAM>(3u << 30);
    return data;
}

enum class Key { Char, Enter, Tab, ShiftTab, Back, Delete, Left, Right, Up, Down, Home, End, CtrlHome, CtrlEnd,
                 Undo, Redo, Paste };
const char* const kKeyNames[] = {"char", "Enter", "Tab", "Shift+Tab", "Backspace", "Delete", "Left", "Right", "Up",
                                 "Down", "Home", "End", "Ctrl+Home", "Ctrl+End", "Ctrl+Z", "Ctrl+Y", "paste"};

class EditorWalk : public ::testing::Test {
protected:
    HWND host = nullptr;
    std::unique_ptr<TRichEditQX> ed;

    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WalkHostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QpEditorWalkHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, "QpEditorWalkHost", "walk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        ed = std::make_unique<TRichEditQX>(host);
        g_walked = ed.get();
        ed->SetFocus();
    }
    void TearDown() override {
        g_walked = nullptr;
        ed.reset();
        DestroyWindow(host);
    }

    void Send(UINT vk, char16_t ch, std::initializer_list<int> held) {
        BYTE state[256];
        GetKeyboardState(state);
        for (int k : held) state[k] = 0x80;
        SetKeyboardState(state);
        SendMessageW(ed->Handle(), WM_KEYDOWN, vk, KeyData(vk, false));
        if (ch) SendMessageW(ed->Handle(), WM_CHAR, ch, KeyData(vk, false));
        SendMessageW(ed->Handle(), WM_KEYUP, vk, KeyData(vk, true));
        for (int k : held) state[k] = 0;
        SetKeyboardState(state);
    }
    void Copy(const std::u16string& text) { CopyToClipboard(host, text); }
    // Wine's control may put the caret past the end (on its last paragraph
    // mark, after Down on the last line); the text's own end stands for it.
    bool pastEnd = false;
    void ShownSelection(int& start, int& end) {
        CHARRANGE range{};
        SendMessageA(ed->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        const int length = ed->GetTextLen();
        pastEnd = range.cpMax > length;
        start = std::clamp(static_cast<int>(range.cpMin), 0, length);
        end = std::clamp(static_cast<int>(range.cpMax), start, length);
    }

    // Walks until the key count or the time runs out; returns the keys sent.
    int Walk(unsigned walkStart, TLineEnd ends, bool utf8, int keyLimit, std::chrono::seconds timeLimit);
};

int EditorWalk::Walk(unsigned walkStart, TLineEnd ends, bool utf8, int keyLimit, std::chrono::seconds timeLimit) {
    std::mt19937 random(walkStart);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    const char* brk = breaks[static_cast<int>(ends)];
    // Empty lines between members and at the end, indented lines to align to.
    const std::u16string start = utf8 ? u"class A {\r\n    int n; // caf\u00e9\r\n\r\n  void f() {\r\n\r\n  }\r\n}\r\n"
                                      : u"class A {\r\n    int n;\r\n\r\n  void f() {\r\n\r\n  }\r\n}\r\n";
    std::string bytes;
    EXPECT_TRUE(Utf16ToUtf8(start, bytes));
    std::string file;
    for (std::size_t at = 0, next; at < bytes.size(); at = next + 2) {
        next = bytes.find("\r\n", at);
        file += bytes.substr(at, next - at) + brk;
    }
    ed->SetText(file);
    EXPECT_EQ(ed->Form().LineEnd, ends);
    EXPECT_EQ(ed->Form().Encoding, utf8 ? TEncoding::Utf8 : TEncoding::Ansi);

    ModelText model;
    model.text = start;
    ModelHistory history(start);
    bool open = false;  // the last step may take the next edit
    TEditKind lastKind = TEditKind::Other;
    std::vector<std::string> recent;
    const auto began = std::chrono::steady_clock::now();
    int sent = 0;
    for (; sent < keyLimit && std::chrono::steady_clock::now() - began < timeLimit; ++sent) {
        // Mostly typing and deleting; a text grown long is cut back.
        // Up and Down are left out: after lines are joined, Wine's control can
        // report a caret other than the one it inserts at once they have moved it.
        static const int weights[] = {30, 6, 5, 2, 12, 8, 5, 5, 0, 0, 3, 3, 2, 2, 4, 3, 3};
        int roll = pick(std::accumulate(std::begin(weights), std::end(weights), 0));
        int k = 0;
        while (roll >= weights[k]) roll -= weights[k++];
        auto key = static_cast<Key>(k);
        if (model.text.size() > 1500 && key != Key::Undo) key = Key::Back;

        model.edited = model.attached = false;
        const std::u16string before = model.text;
        const int caretBefore = model.selEnd;
        const bool emptySelection = model.selStart == model.selEnd;
        const bool caretKnown = emptySelection && !pastEnd;  // where a move starts from
        std::string note = kKeyNames[k];
        switch (key) {
        case Key::Char: {
            static const char typed[] = "abxyz019 {}();/*=_";
            const char c = typed[pick(static_cast<int>(sizeof typed) - 1)];
            note += std::string(" '") + c + "'";
            char pressed = c;
            model.keys.KeyPress(pressed);
            model.ReplaceSelection(std::u16string(1, static_cast<char16_t>(c)), TEditKind::Typing);
            Send(LOBYTE(VkKeyScanA(c)), static_cast<char16_t>(c), {});
            break;
        }
        case Key::Enter: {
            char pressed = '\r';
            model.keys.KeyPress(pressed);
            model.ReplaceSelection(u"\r\n", TEditKind::Other);
            std::uint16_t up = VK_RETURN;
            model.keys.KeyUp(up, 0);
            Send(VK_RETURN, u'\r', {});
            break;
        }
        case Key::Tab:
        case Key::ShiftTab: {
            std::uint16_t down = TEditorKeys::VK_Tab;
            const bool shift = key == Key::ShiftTab;
            model.keys.KeyDown(down, shift ? static_cast<unsigned>(ssShift) : 0u);
            Send(VK_TAB, u'\t', shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
            break;
        }
        case Key::Back:
        case Key::Delete: {
            const bool back = key == Key::Back;
            if (!emptySelection) {
                model.ReplaceSelection(u"", TEditKind::Other);
            } else if (back && caretBefore > 0) {
                const int size = IsBreakInside(model.text, caretBefore - 1) ? 2 : 1;
                model.Replace(caretBefore - size, caretBefore, u"", TEditKind::Deleting);
            } else if (!back && caretBefore < static_cast<int>(model.text.size())) {
                const int size = model.text.compare(caretBefore, 2, u"\r\n") == 0 ? 2 : 1;
                model.Replace(caretBefore, caretBefore + size, u"", TEditKind::Deleting);
            }
            Send(back ? VK_BACK : VK_DELETE, back ? u'\b' : 0, {});
            break;
        }
        case Key::Left: Send(VK_LEFT, 0, {}); break;
        case Key::Right: Send(VK_RIGHT, 0, {}); break;
        case Key::Up: Send(VK_UP, 0, {}); break;
        case Key::Down: Send(VK_DOWN, 0, {}); break;
        case Key::Home: Send(VK_HOME, 0, {}); break;
        case Key::End: Send(VK_END, 0, {}); break;
        case Key::CtrlHome: Send(VK_HOME, 0, {VK_CONTROL}); break;
        case Key::CtrlEnd: Send(VK_END, 0, {VK_CONTROL}); break;
        case Key::Undo: Send('Z', 0x1A, {VK_CONTROL}); break;
        case Key::Redo: Send('Y', 0x19, {VK_CONTROL}); break;
        case Key::Paste: {
            // Every kind of line break a program may put on the clipboard.
            static const char16_t* const pieces[] = {u"x", u"int k;", u"  ", u"\r\n", u"\r", u"\n", u"\r\r\n", u"}"};
            std::u16string copied, pasted;
            for (int n = 1 + pick(4); n > 0; --n) copied += pieces[pick(8)];
            // Each break one CR LF, CR CR LF read first, then CR LF.
            for (std::size_t i = 0; i < copied.size(); ++i) {
                if (copied[i] != u'\r' && copied[i] != u'\n') {
                    pasted += copied[i];
                    continue;
                }
                if (copied.compare(i, 3, u"\r\r\n") == 0) i += 2;
                else if (copied.compare(i, 2, u"\r\n") == 0) ++i;
                pasted += u"\r\n";
            }
            note += " \"" + Visible(copied) + "\"";
            Copy(copied);
            model.ReplaceSelection(pasted, TEditKind::Other);
            Send('V', 0x16, {VK_CONTROL});
            break;
        }
        }
        recent.push_back(note);
        if (recent.size() > 12) recent.erase(recent.begin());
        const std::u16string shown = ed->WideText();
        int shownStart = 0, shownEnd = 0;
        ShownSelection(shownStart, shownEnd);
        std::string trail;
        for (const std::string& r : recent) trail += "\n  " + r;
        const auto where = [&] {
            return "start " + std::to_string(walkStart) + ", key " + std::to_string(sent) + " (" + note + ") from \"" +
                   Visible(before) + "\" caret " + std::to_string(caretBefore) + ", last keys:" + trail;
        };

        if (key == Key::Undo || key == Key::Redo) {
            const bool landed = key == Key::Undo ? history.Undo(shown) : history.Redo(shown);
            EXPECT_TRUE(landed) << where() << "\n  shows \"" << Visible(shown) << "\"";
            if (!landed) return sent;
            // Nothing to undo leaves the step before open.
            if (shown != before) open = false;
            model.text = shown;
        } else {
            EXPECT_EQ(Visible(shown), Visible(model.text)) << where();
            // Positions count what the text shows: a CR LF as two, never a break of one.
            EXPECT_EQ(ed->GetTextLen(), static_cast<int>(shown.size())) << where();
            if (shown != model.text || ::testing::Test::HasFailure()) return sent;
            if (model.edited) {
                // A run of typing or of deletes on one line may have joined the step before it.
                const bool lineBreak = std::count(before.begin(), before.end(), u'\n') !=
                                       std::count(model.text.begin(), model.text.end(), u'\n');
                const bool mayJoin = open && model.kind == lastKind && model.kind != TEditKind::Other && !lineBreak;
                history.Edit(model.text, mayJoin);
                open = model.kind != TEditKind::Other;
                lastKind = model.kind;
                if (model.attached) history.Attach(model.text);
            } else if (model.attached) {
                history.Attach(model.text);
            }
            if (key >= Key::Left && key <= Key::CtrlEnd) {
                open = false;
                const int line = model.LineOf(caretBefore);
                const int lineStart = model.LineStart(line);
                int want = -1;
                if (key == Key::CtrlHome) want = 0;
                if (key == Key::CtrlEnd) want = static_cast<int>(model.text.size());
                if (caretKnown && key == Key::Home) want = lineStart;
                if (caretKnown && key == Key::End) want = model.LineEnd(lineStart);
                if (caretKnown && key == Key::Left)
                    want = caretBefore == 0 ? 0 : caretBefore - (IsBreakInside(model.text, caretBefore - 1) ? 2 : 1);
                if (caretKnown && key == Key::Right)
                    want = caretBefore == static_cast<int>(model.text.size())
                               ? caretBefore
                               : caretBefore + (model.text.compare(caretBefore, 2, u"\r\n") == 0 ? 2 : 1);
                if (want >= 0) {
                    EXPECT_EQ(shownEnd, want) << where() << "\n  selection from " << shownStart;
                }
            }
        }
        // The caret after an edit is the control's to place (Wine's may put it
        // a line off after a character typed at a line's end reached by Up).
        {
            // Wherever the control put the caret, it is never inside a line break.
            EXPECT_FALSE(IsBreakInside(model.text, shownStart) || IsBreakInside(model.text, shownEnd)) << where();
            model.selStart = shownStart;
            model.selEnd = shownEnd;
        }
        if (::testing::Test::HasFailure()) return sent;
    }

    // Saved, the text is the model's in the file's own form.
    std::u16string saved;
    for (std::size_t at = 0, next; at <= model.text.size(); at = next + 2) {
        next = std::min(model.text.find(u"\r\n", at), model.text.size());
        saved += model.text.substr(at, next - at);
        if (next < model.text.size()) saved += std::u16string(brk, brk + std::strlen(brk));
    }
    std::string want;
    EXPECT_TRUE(Utf16ToUtf8(saved, want));
    EXPECT_EQ(ed->Text(), want) << "start " << walkStart;
    return sent;
}

TEST_F(EditorWalk, EveryKeyDoesToTheTextWhatItMust) {
    const char* seconds = std::getenv("QP_EDITOR_WALK_SECONDS");
    const char* startText = std::getenv("QP_EDITOR_WALK_START");
    const bool longer = seconds && std::atoi(seconds) > 0;
    unsigned walkStart = 20261209;
    if (startText) walkStart = static_cast<unsigned>(std::strtoul(startText, nullptr, 10));
    else if (longer) walkStart = std::random_device{}() ^ static_cast<unsigned>(GetTickCount());
    const auto limit = std::chrono::seconds(longer ? std::atoi(seconds) : 60);
    const struct {
        TLineEnd ends;
        bool utf8;
    } forms[] = {{TLineEnd::CrLf, false}, {TLineEnd::Lf, true}, {TLineEnd::Cr, true}};
    for (const auto& form : forms) {
        SCOPED_TRACE(static_cast<int>(form.ends));
        const auto share = longer ? limit / 3 : limit;
        const int sent = Walk(walkStart, form.ends, form.utf8, longer ? 1 << 30 : 700, std::max(share, std::chrono::seconds(1)));
        std::printf("[ walk     ] start %u, line ends %d: %d keys\n", walkStart, static_cast<int>(form.ends), sent);
        std::fflush(stdout);
        if (HasFailure()) return;
        ++walkStart;
    }
}

}  // namespace
