#pragma once
// A dialog window laid out in pixels, created once and shown modally as often
// as needed. It is hidden, not destroyed, when it closes, so its controls keep
// what the user left in them for the next time.
#include <windows.h>

#include <deque>

#include "ScopedWin32.h"

class TModalForm {
public:
    TModalForm(const TModalForm&) = delete;
    TModalForm& operator=(const TModalForm&) = delete;
    virtual ~TModalForm();

    HWND Handle() const { return hwnd_; }

    // Shows the form with its owner disabled and handles messages until a button,
    // Esc or the close box ends it. Returns IDOK or IDCANCEL.
    int ShowModal();
    // Ends ShowModal with this result.
    void Close(int result) { result_ = result; }

    // Outer rectangle's top-left corner, in screen pixels.
    void SetPosition(int left, int top);
    void CenterOnScreen();

protected:
    // A fixed dialog frame with only the system menu button, around a client
    // area of the given size; "MS Sans Serif" with a character height of 11.
    TModalForm(HWND owner, const char* caption, int clientWidth, int clientHeight);

    // A control at a position in client pixels; its font is the form's unless given.
    HWND AddControl(const char* windowClass, const char* text, DWORD style, int id, int left, int top,
                    int width, int height, HFONT font = nullptr, DWORD exStyle = 0);
    // A font the form owns: "MS Sans Serif", the character height in pixels.
    HFONT MakeFont(int height, bool bold = false, bool underline = false);

    // Runs each time the form is shown, before the user can act.
    virtual void FormShow() {}
    // Messages of the form that the derived form handles itself: true when
    // handled, with the message's result.
    virtual bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    // Freed after the window and its controls are gone. A deque, as a scoped
    // font cannot move.
    std::deque<ScopedFont> fonts_;
    HFONT font_ = nullptr;  // the form's own, one of fonts_
    int result_ = 0;
};
