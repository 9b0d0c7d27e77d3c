#pragma once
// Acts on a modal form from inside its own message loop, as a user does while
// it shows: a timer of the test's thread waits until the form is visible and
// then runs the action once. A form still showing long after that is cancelled
// and the test fails, so no test hangs on a form left open.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

class WhileShown {
public:
    WhileShown(HWND form, std::function<void()> action)
        : WhileShown([form] { return form; }, std::move(action)) {}
    // For a form that the command itself makes: asked for on each tick.
    WhileShown(std::function<HWND()> form, std::function<void()> action)
        : form_(std::move(form)), action_(std::move(action)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 10, &Tick);
    }
    ~WhileShown() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    WhileShown(const WhileShown&) = delete;
    WhileShown& operator=(const WhileShown&) = delete;

    bool ran = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WhileShown* self = current_;
        const HWND form = self ? self->form_() : nullptr;
        if (!form || !IsWindowVisible(form)) return;
        if (!self->ran) {
            self->ran = true;
            self->action_();
            return;
        }
        if (++self->waited_ == 300) {
            ADD_FAILURE() << "the form is still showing after the test's action";
            PostMessageA(form, WM_CLOSE, 0, 0);
        }
    }

    std::function<HWND()> form_;
    std::function<void()> action_;
    UINT_PTR timer_ = 0;
    int waited_ = 0;
    static inline WhileShown* current_ = nullptr;
};
