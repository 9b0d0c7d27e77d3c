#pragma once
#include <windows.h>

#include <deque>
#include <functional>

// Runs test steps one after another inside the dialog's own message loop. Each
// step is posted after whatever the one before it posted, so a key posted by a
// step has been handled when the next step runs.
class Steps {
public:
    Steps() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QpTestSteps";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowA("QpTestSteps", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Steps() { DestroyWindow(hwnd_); }
    Steps& operator<<(std::function<void()> step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    void Start() { PostMessageA(hwnd_, WM_APP, 0, 0); }
    // What is left when the dialog has closed is not run in the next one.
    void Clear() { steps_.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Steps*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg != WM_APP || !self) return DefWindowProcA(hwnd, msg, wParam, lParam);
        // Once round the queue first: a key posted by the step before has by then
        // also delivered the character that its translation posts.
        if (wParam == 0) {
            PostMessageA(hwnd, WM_APP, 1, 0);
            return 0;
        }
        if (!self->steps_.empty()) {
            auto step = std::move(self->steps_.front());
            self->steps_.pop_front();
            step();
            PostMessageA(hwnd, WM_APP, 0, 0);
        }
        return 0;
    }
    HWND hwnd_;
    std::deque<std::function<void()>> steps_;
};
