#pragma once
// The main window's rules that need no window: caption, caret text, hints,
// the applet test, the failure handler's texts and the code actions' states.
#include <exception>
#include <string>

extern const char* const kAppTitle;      // "Quillpad"
extern const char* const kUntitledName;  // "Untitled.java"

// "Quillpad: %s" with the name part of fileName.
std::string CaptionFor(const std::string& fileName);

// Panel 1's text for a selection starting at selStart, on the zero-based line
// `line` whose first character is at lineStart: " %d : %d", both one-based.
std::string CaretText(int selStart, int line, int lineStart);

// True when the text holds "extends Applet" anywhere (case-sensitive).
bool IsAppletSource(const std::string& text);

// A hint is "short|long"; one without a bar is both.
std::string ShortHint(const std::string& hint);
std::string LongHint(const std::string& hint);

// What the failure handler shows for a failure: an "Error" box with a fixed
// text for the program's two exception classes, otherwise the generic box
// captioned with the application title and carrying the failure's message.
struct FailureBox {
    std::string caption;
    std::string text;
};
FailureBox FailureBoxFor(const std::exception& e, const std::string& javaSdkDir);
// The generic box's text: the message with a full stop appended when its last
// character sorts after '.'.
std::string WithFullStop(const std::string& message);

// The enabled state of Run, Run Applet and Create HTML. No other action is
// ever disabled by the program (the standard edit actions follow their control).
struct CodeActionStates {
    bool run = false;
    bool runApplet = false;
    bool createHtml = false;

    // New, Open and start-up.
    void Reset(bool appletSource) {
        run = runApplet = false;
        createHtml = appletSource;
    }
    // A change of the text while the modified flag is set.
    void TextChanged(bool modified) {
        if (modified) run = runApplet = false;
    }
    // A compile has finished with the given result.
    void Compiled(bool appletSource, bool success) {
        run = !appletSource && success;
        runApplet = appletSource && success;
    }
};
