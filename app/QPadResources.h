#pragma once
// The program's own resources (quillpad.rc). The icon keeps the lowest number:
// Explorer, shortcuts and Alt+Tab show a program's first icon.
#define IDI_QUILLPAD 1
#define IDB_CODE_BUTTONS 101
