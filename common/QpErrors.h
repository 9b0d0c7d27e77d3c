#pragma once
// The program's failures. Commands check and throw; only the message loop's
// guard (AppException) and the few places that must swallow a failure catch.
#include <stdexcept>
#include <string>

// General failure: its message is shown to the user as it stands.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A command needs the Java SDK and the SDK directory is not valid.
class EJavaSdkError : public Exception {
public:
    EJavaSdkError() : Exception("") {}
};

// An applet command was given a source that is no applet.
class ENoAppletCode : public Exception {
public:
    ENoAppletCode() : Exception("") {}
};

// Silent abort: stops the running command and is never shown.
// Deliberately not an std::exception, so no handler shows it by accident.
class EAbort {};

// For a catch block in a window procedure other than the main window's (a
// control's subclass, the message loop's own helpers): hands the failure being
// handled to the handler the program installed, which shows it as any other
// failure; before one is installed, a plain error box shows its message. The
// silent abort stays silent.
void HandleStrayFailure();
extern void (*StrayFailureHandler)();
