#include <gtest/gtest.h>

#include "QPadLogic.h"
#include "QpErrors.h"

namespace {

TEST(Caption, ShowsTheNamePartOnly) {
    const struct { const char* file; const char* caption; } cases[] = {
        {"Untitled.java", "Quillpad: Untitled.java"},
        {"C:\\work\\Hello.java", "Quillpad: Hello.java"},
        {"D:Hello.java", "Quillpad: Hello.java"},
        {"\\\\server\\share\\dir\\A.java", "Quillpad: A.java"},
    };
    for (const auto& c : cases) EXPECT_EQ(CaptionFor(c.file), c.caption) << c.file;
}

TEST(CaretText, OneBasedLineThenColumn) {
    const struct { int start, line, lineStart; const char* text; } cases[] = {
        {0, 0, 0, " 1 : 1"},
        {3, 0, 0, " 1 : 4"},
        {14, 2, 10, " 3 : 5"},          // CR LF counted as the control counts it
        {123456, 9999, 123400, " 10000 : 57"},
    };
    for (const auto& c : cases) EXPECT_EQ(CaretText(c.start, c.line, c.lineStart), c.text);
}

TEST(AppletSource, ExactWordsAnywhere) {
    const struct { const char* text; bool applet; } cases[] = {
        {"public class A extends Applet {}", true},
        {"// extends Applet\nclass A {}", true},
        {"String s = \"extends Applet\";", true},
        {"class A extends JApplet {}", false},
        {"class A extends  Applet {}", false},   // two blanks
        {"class A extends applet {}", false},    // case matters
        {"class A extends\nApplet {}", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsAppletSource(c.text), c.applet) << c.text;
}

TEST(Hints, ShortAndLongParts) {
    const struct { const char* hint; const char* shortPart; const char* longPart; } cases[] = {
        {"New|Create a new file", "New", "Create a new file"},
        {"Compile source", "Compile source", "Compile source"},
        {"|only long", "", "only long"},
        {"a|b|c", "a", "b|c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ShortHint(c.hint), c.shortPart) << c.hint;
        EXPECT_EQ(LongHint(c.hint), c.longPart) << c.hint;
    }
}

TEST(FailureBox, FixedTextsForTheProgramsOwnFailures) {
    FailureBox sdk = FailureBoxFor(EJavaSdkError(), "c:\\jdk1.3\\bin\\");
    EXPECT_EQ(sdk.caption, "Error");
    EXPECT_EQ(sdk.text,
              "Can not find Java SDK ...\\BIN directory or\rincorrect path: c:\\jdk1.3\\bin\\\r\r"
              "Set correct path to Java SDK from\rMenu/Edit/Options/Java SDK");
    FailureBox applet = FailureBoxFor(ENoAppletCode(), "x");
    EXPECT_EQ(applet.caption, "Error");
    EXPECT_EQ(applet.text, "It is not Java applet");
}

TEST(FailureBox, GenericBoxFullStopRule) {
    const struct { const char* message; const char* shown; } cases[] = {
        {"Can't find \"%j\" in compiler command", "Can't find \"%j\" in compiler command."},
        {"Ends with a stop.", "Ends with a stop."},
        {"Ends with a break\n", "Ends with a break\n"},
        {"", ""},
        {"slash/", "slash/."},        // '/' is 47, after '.'
        {"comma,", "comma,"},         // ',' is 44
        {"minus-", "minus-"},         // '-' is 45
        {"accent \xE9", "accent \xE9."},  // bytes above 127 sort after '.'
    };
    for (const auto& c : cases) {
        FailureBox box = FailureBoxFor(Exception(c.message), "unused");
        EXPECT_EQ(box.caption, "Quillpad");
        EXPECT_EQ(box.text, c.shown) << c.message;
    }
    // Failures from the standard library go the same way.
    EXPECT_EQ(FailureBoxFor(std::runtime_error("disk full"), "").text, "disk full.");
}

TEST(CodeActions, StateMachine) {
    CodeActionStates s;
    s.Reset(false);
    EXPECT_FALSE(s.run || s.runApplet || s.createHtml);
    s.Reset(true);
    EXPECT_TRUE(s.createHtml);
    EXPECT_FALSE(s.run || s.runApplet);

    const struct { bool applet, success, run, runApplet; } compiles[] = {
        {false, true, true, false},
        {false, false, false, false},
        {true, true, false, true},
        {true, false, false, false},
    };
    for (const auto& c : compiles) {
        CodeActionStates t;
        t.Reset(true);
        t.Compiled(c.applet, c.success);
        EXPECT_EQ(t.run, c.run);
        EXPECT_EQ(t.runApplet, c.runApplet);
        EXPECT_TRUE(t.createHtml) << "only New and Open re-evaluate Create HTML";
        t.TextChanged(false);  // a change with the flag clear (loading) keeps them
        EXPECT_EQ(t.run, c.run);
        t.TextChanged(true);
        EXPECT_FALSE(t.run || t.runApplet);
        EXPECT_TRUE(t.createHtml);
    }
}

}  // namespace
