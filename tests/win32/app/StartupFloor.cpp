// The least program that shows the main window's tree: its class, a menu bar
// of four menus, a tool bar of eight standard pictures, a status bar of three
// panels, two list boxes and a RICHEDIT from RICHED32.DLL in Courier New, shown
// with the editor focused. What the start-up benchmark measures the program
// against; it does nothing else and ends when its window is closed.
// With "whole" on its command line it makes the rest of the program's window
// tree too: the application window that owns the main window and carries the
// task-bar button, the four panels, the two splitters and the lists' headers.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
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

HWND Child(const char* cls, DWORD style, const RECT& r, HWND parent, DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    const bool whole = strstr(commandLine, "whole") != nullptr;
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
    HWND owner = nullptr;
    if (whole) {
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "FloorApplication";
        RegisterClassA(&wc);
        wc.lpszClassName = "FloorPanel";
        RegisterClassA(&wc);
        owner = CreateWindowExA(0, "FloorApplication", "Quillpad",
                                WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 512, 384, 0, 0,
                                nullptr, nullptr, instance, nullptr);
    }
    HWND main = CreateWindowExA(0, "TQPadF", "Quillpad: Untitled.java", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, 710, 560, owner, MenuBar(), instance, nullptr);

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

    HWND editorParent = main, listParents[2] = {main, main};
    if (whole) {
        editorParent = Child("FloorPanel", 0, {0, 30, 694, 351}, main);
        Child("FloorPanel", 0, {0, 351, 694, 356}, main);  // the splitter above the lists
        HWND bottom = Child("FloorPanel", 0, {0, 356, 694, 461}, main);
        listParents[0] = Child("FloorPanel", 0, {0, 0, 282, 105}, bottom);
        Child("FloorPanel", 0, {282, 0, 287, 105}, bottom);  // the splitter between them
        listParents[1] = Child("FloorPanel", 0, {287, 0, 694, 105}, bottom);
        for (int i = 0; i < 2; ++i) {
            HWND header = Child(WC_HEADERA, HDS_HORZ | HDS_FLAT, {0, 0, 282, 17}, listParents[i]);
            HDITEMA item = {};
            item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            item.pszText = const_cast<char*>(i ? "DOS output" : "Errors");
            item.cxy = 282;
            item.fmt = HDF_LEFT | HDF_STRING;
            SendMessageA(header, HDM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
    for (int i = 0; i < 2; ++i)
        Child("LISTBOX", WS_VSCROLL | LBS_NOTIFY, whole ? RECT{0, 17, 282, 105} : RECT{290 * i, 400, 290 * i + 290, 500},
              listParents[i], WS_EX_CLIENTEDGE);

    HWND editor = Child("RICHEDIT", WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                        whole ? RECT{0, 0, 694, 321} : RECT{0, 30, 694, 390}, editorParent, WS_EX_CLIENTEDGE);
    HFONT courier = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    SendMessageA(editor, WM_SETFONT, reinterpret_cast<WPARAM>(courier), FALSE);

    ShowWindow(main, showCommand);
    UpdateWindow(main);
    SetFocus(editor);
    if (owner) SetWindowPos(owner, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DeleteObject(courier);
    return 0;
}
