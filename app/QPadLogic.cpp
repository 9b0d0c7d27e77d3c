#include "QPadLogic.h"

#include <cstdio>

#include "QpErrors.h"
#include "QpText.h"

const char* const kAppTitle = "Quillpad";
const char* const kUntitledName = "Untitled.java";

std::string CaptionFor(const std::string& fileName) {
    return std::string(kAppTitle) + ": " + ExtractFileName(fileName);
}

std::string CaretText(int selStart, int line, int lineStart) {
    char text[48];
    std::snprintf(text, sizeof text, " %d : %d", line + 1, selStart - lineStart + 1);
    return text;
}

bool IsAppletSource(const std::string& text) {
    return text.find("extends Applet") != std::string::npos;
}

std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string LongHint(const std::string& hint) {
    std::size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

std::string WithFullStop(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

FailureBox FailureBoxFor(const std::exception& e, const std::string& javaSdkDir) {
    if (dynamic_cast<const EJavaSdkError*>(&e))
        return {"Error",
                "Can not find Java SDK ...\\BIN directory or\r"
                "incorrect path: " + javaSdkDir + "\r"
                "\r"
                "Set correct path to Java SDK from\r"
                "Menu/Edit/Options/Java SDK"};
    if (dynamic_cast<const ENoAppletCode*>(&e)) return {"Error", "It is not Java applet"};
    return {kAppTitle, WithFullStop(e.what())};
}
