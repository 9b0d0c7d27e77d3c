// The least program that shows the main window's tree: its class, a menu bar
// of four menus, a tool bar of eight standard pictures, a status bar of three
// panels, two list boxes and a RICHEDIT from RICHED32.DLL in Courier New, shown
// with the editor focused. What the start-up benchmark measures the program
// against; it does nothing else and ends when its window is closed.
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

namespace {

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HMENU MenuBar() {
    const char* const menus[][4] = {{"&File", "&New", "&Open...", "&Save"},
                                    {"&Edit", "&Undo", "Cu&t", "&Copy"},
                                    {"&Search", "&Find...", "Search &again", "&Go to line"},
                                    {"&Code", "&Compile", "&Run", "Run &Applet"}};
    HMENU bar = CreateMenu();
    UINT id = 100;
    for (const auto& menu : menus) {
        HMENU popup = CreatePopupMenu();
        for (int i = 1; i < 4; ++i) AppendMenuA(popup, MF_STRING, id++, menu[i]);
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), menu[0]);
    }
    return bar;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    LoadLibraryA("RICHED32.DLL");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TQPadF";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, "TQPadF", "Quillpad: Untitled.java", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 710, 560, nullptr, MenuBar(), instance, nullptr);

    HWND tools = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS,
                                 0, 0, 0, 0, main, nullptr, instance, nullptr);
    SendMessageA(tools, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBADDBITMAP standard = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    SendMessageA(tools, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standard));
    TBBUTTON buttons[8] = {};
    for (int i = 0; i < 8; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = 200 + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = TBSTYLE_BUTTON;
    }
    SendMessageA(tools, TB_ADDBUTTONSA, 8, reinterpret_cast<LPARAM>(buttons));

    HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, main,
                                  nullptr, instance, nullptr);
    int edges[3] = {200, 260, -1};
    SendMessageA(status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));

    for (int x : {0, 290})
        CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, x, 400, 290,
                        100, main, nullptr, instance, nullptr);

    HWND editor = CreateWindowExA(WS_EX_CLIENTEDGE, "RICHEDIT", "",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                      ES_AUTOHSCROLL,
                                  0, 30, 694, 360, main, nullptr, instance, nullptr);
    HFONT courier = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(courier), FALSE);

    ShowWindow(main, showCommand);
    UpdateWindow(main);
    SetFocus(editor);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(courier);
    return 0;
}
