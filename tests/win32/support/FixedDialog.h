#pragma once
// The frame of every dialog of the program: the client area it was laid out
// for, a system menu, and neither a sizing frame nor a minimise or maximise box.
#include <gtest/gtest.h>
#include <windows.h>

inline void ExpectFixedDialog(HWND dialog, int clientWidth, int clientHeight) {
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, clientWidth);
    EXPECT_EQ(client.bottom, clientHeight);
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}
