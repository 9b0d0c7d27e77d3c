// The editor's control: its creation on the rich-edit window, the subclass
// that takes its messages, and the keys, mouse and parent notifications that
// come through it.
#include "RichEditQX.h"

#include <commctrl.h>

#include <vector>
#include <ole2.h>
#include <richedit.h>

#include "QpErrors.h"
#include "RichEditQXInternalWin32.h"

using namespace richedit_qx;

namespace {

// RICHED32.DLL registers the "RICHEDIT" class when it loads; it stays loaded for
// the life of the program.
void LoadRichEdit() {
    static HMODULE lib = LoadLibraryA("RICHED32.DLL");
    if (!lib) throw Exception("Cannot load RICHED32.DLL");
}

// The keys and buttons held as the key's message has them, in one question:
// each is a call to the window server under Wine, and a key asks twice.
unsigned ShiftState(LPARAM keyData) {
    BYTE state[256];
    if (!GetKeyboardState(state)) return (keyData & (1 << 29)) != 0 ? static_cast<unsigned>(ssAlt) : 0u;
    auto held = [&](int vk) { return (state[vk] & 0x80) != 0; };
    unsigned shift = 0;
    if (held(VK_SHIFT)) shift |= ssShift;
    if (held(VK_CONTROL)) shift |= ssCtrl;
    if ((keyData & (1 << 29)) != 0 || held(VK_MENU)) shift |= ssAlt;
    if (held(VK_LBUTTON)) shift |= ssLeft;
    if (held(VK_RBUTTON)) shift |= ssRight;
    if (held(VK_MBUTTON)) shift |= ssMiddle;
    return shift;
}

// Our window procedure goes before the control's own on each of our controls,
// which RICHED32.DLL registers as an ANSI class. Ours being a Unicode one,
// characters reach the editor as they were typed, not in the ANSI code page
// with a '?' for the rest. It is not the common controls' subclassing: that
// looks its data up in a window property on every message, a round trip to the
// window server under Wine, and the editor sends its control scores of
// messages for each key.
struct Hook {
    HWND wnd;
    TCustomRichEditQX* editor;
    WNDPROC next;
};
std::vector<Hook>& Hooks() {
    static std::vector<Hook> hooks;  // a control or two
    return hooks;
}
const Hook* FindHook(HWND wnd) {
    for (const Hook& hook : Hooks())
        if (hook.wnd == wnd) return &hook;
    return nullptr;
}

// Messages that may reach the control and change its text past the history
// (the keys, the clipboard's and undo's messages come to the history instead,
// which keeps the line index with its changes).
bool MayEditText(UINT msg, WPARAM) {
    switch (msg) {
    case WM_SYSCHAR:
    case WM_IME_COMPOSITION:
    case EM_STREAMIN:
    case EM_SETTEXTEX:
        return true;
    }
    return false;
}

// Keys that only move the caret or the view: a typing step ends there.
bool IsMoveKey(WPARAM key) { return key >= VK_PRIOR && key <= VK_DOWN; }

const DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                          ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN | ES_DISABLENOSCROLL;

}  // namespace

namespace richedit_qx {

std::u16string Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(wide.data()), n);
    return wide;
}

}  // namespace richedit_qx

TCustomRichEditQX::TCustomRichEditQX(HWND parent) {
    LoadRichEdit();
    RECT area{};
    if (parent) GetClientRect(parent, &area);
    // ES_AUTOHSCROLL: no word wrap, a long line scrolls horizontally. Both scroll
    // bars stay shown (ES_DISABLENOSCROLL): besides the steady look, a control that
    // shows and hides its bars while it lays out a loaded text spends time per line
    // on it (minutes for a few megabytes under Wine).
    Wnd = CreateControl(parent, kEditorStyle, WS_EX_CLIENTEDGE, area,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(1)), ENM_CHANGE | ENM_SELCHANGE);
    Colour.Loaded(Wnd);
}

HWND TCustomRichEditQX::CreateControl(HWND parent, DWORD style, DWORD exStyle, const RECT& place, HMENU id,
                                      LPARAM events) {
    HWND wnd = CreateWindowExW(exStyle, L"RICHEDIT", L"", style, place.left, place.top, place.right - place.left,
                               place.bottom - place.top, parent, id, GetModuleHandleW(nullptr), nullptr);
    if (!wnd) throw Exception("Cannot create the editor window");

    // Rich text, for the colours; the text still comes and goes as plain text
    // (SF_TEXT streams, pastes of CF_TEXT).
    SendMessageA(wnd, EM_SETTEXTMODE, TM_RICHTEXT, 0);
    // The platform's default limit (32,767 characters for typing, 64K for loading)
    // would cut larger sources short or refuse typing in them.
    SendMessageA(wnd, EM_EXLIMITTEXT, 0, kTextLimit);
    if (style & ES_READONLY) SendMessageA(wnd, EM_SETREADONLY, TRUE, 0);
    if (Font) ApplyFont(wnd);
    SendMessageA(wnd, EM_SETEVENTMASK, 0, events);
    // The history is ours; the control keeps none of its own (RICHED32.DLL keeps
    // one level on Windows, a hundred under Wine).
    SendMessageA(wnd, EM_SETUNDOLIMIT, 0, 0);
    // Text dropped from elsewhere would change the text past the history; drags
    // inside the text are our own (MouseDown), and a dropped file goes on to the
    // main window.
    RevokeDragDrop(wnd);
    Subclass(wnd);
    FitTextArea(wnd);
    return wnd;
}

// The text's area is the client area, the scroll bars left out: Wine's control
// takes in the whole window and then scrolls short of the text's end.
void TCustomRichEditQX::FitTextArea(HWND wnd) {
    RECT area;
    GetClientRect(wnd, &area);
    SendMessageA(wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
}

void TCustomRichEditQX::Subclass(HWND wnd) {
    Hooks().push_back({wnd, this, nullptr});
    Hooks().back().next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProc)));
}

// The control's own procedure, and ours taken off as the window goes.
LRESULT TCustomRichEditQX::CallNext(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Hook* hook = FindHook(wnd);
    if (!hook) return DefWindowProcW(wnd, msg, wParam, lParam);
    const WNDPROC next = hook->next;
    if (msg == WM_NCDESTROY) {
        if (GetWindowLongPtrW(wnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HookProc))
            SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        Hooks().erase(Hooks().begin() + (hook - Hooks().data()));
    }
    return CallWindowProcW(next, wnd, msg, wParam, lParam);
}

TCustomRichEditQX::~TCustomRichEditQX() {
    // The parent may have destroyed the window already; WM_NCDESTROY cleared Wnd then.
    if (Wnd) DestroyWindow(Wnd);
    if (Font) DeleteObject(Font);
}

LRESULT CALLBACK TCustomRichEditQX::HookProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Hook* hook = FindHook(wnd);
    if (!hook) return DefWindowProcW(wnd, msg, wParam, lParam);
    // No failure may unwind into the system's code.
    try {
        return hook->editor->WindowProc(wnd, msg, wParam, lParam);
    } catch (...) {
        HandleStrayFailure();
        return 0;
    }
}

// wnd rather than Wnd: while the text is replaced, the outgoing control still
// receives messages (focus, destruction) after Wnd names the new one.
LRESULT TCustomRichEditQX::CallBase(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd != Wnd) return CallNext(wnd, msg, wParam, lParam);
    Colour.Before(wnd, msg, wParam, lParam);
    const LRESULT result = CallNext(wnd, msg, wParam, lParam);
    Colour.After(wnd, msg, wParam);
    return result;
}

LRESULT TCustomRichEditQX::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd == Wnd && Editing == 0 && MayEditText(msg, wParam)) DropLineIndex();
    if (msg == WM_NCDESTROY) {
        if (wnd == Wnd) Wnd = nullptr;
        return CallNext(wnd, msg, wParam, lParam);
    }
    // Only the current control's text belongs to the history.
    if (wnd != Wnd) return CallBase(wnd, msg, wParam, lParam);
    if (Colour.Timer(wnd, msg, wParam)) return 0;
    switch (msg) {
    case WM_GETDLGCODE:
        // Tab stays in the editor instead of moving the focus on.
        return CallBase(wnd, msg, wParam, lParam) | DLGC_WANTTAB;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        auto key = static_cast<std::uint16_t>(wParam);
        const unsigned shift = ShiftState(lParam);
        KeyDown(key, shift);
        if (key == 0) return 0;
        if (EditKey(key, shift & (ssShift | ssAlt | ssCtrl))) return 0;
        if (IsMoveKey(key)) History.BreakGroup();
        const LRESULT result = CallBase(wnd, msg, key, lParam);
        if (key >= VK_PRIOR && key <= VK_DOWN) ShowCaretWhole();  // the moving keys
        return result;
    }
    case WM_CHAR:
    case WM_IME_CHAR: {
        // Through the subclass a character comes in UTF-16 when the window says so.
        char16_t c = static_cast<char16_t>(wParam);
        if (!IsWindowUnicode(wnd) && msg == WM_CHAR) {
            const char byte = static_cast<char>(wParam);
            if (LeadByte == 0 && IsDBCSLeadByte(static_cast<BYTE>(byte))) {
                LeadByte = byte;
                return 0;
            }
            std::string bytes = LeadByte ? std::string{LeadByte, byte} : std::string(1, byte);
            LeadByte = 0;
            const std::u16string wide = Widen(bytes);
            if (wide.size() != 1) return 0;
            c = wide[0];
        }
        TypeChar(c);
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        LRESULT result = CallBase(wnd, msg, wParam, lParam);
        auto key = static_cast<std::uint16_t>(wParam);
        KeyUp(key, ShiftState(lParam));
        return result;
    }
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        // The system's own composition window rather than the control's in-place
        // one, which writes into the text past the history: the result comes as
        // WM_IME_CHAR.
        return IsWindowUnicode(wnd) ? DefWindowProcW(wnd, msg, wParam, lParam)
                                    : DefWindowProcA(wnd, msg, wParam, lParam);
    case WM_LBUTTONDOWN:
        MouseDown(wnd, wParam, lParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        History.BreakGroup();
        return CallBase(wnd, msg, wParam, lParam);
    // Every other way in to change the text goes through the history too.
    case WM_PASTE:
    case EM_PASTESPECIAL:
        Paste();
        return 0;
    case WM_CUT:
        Cut();
        return 0;
    case WM_CLEAR:
        if (SelLength() != 0) ReplaceSel(u"");
        return 0;
    case WM_UNDO:
    case EM_UNDO:
        Undo();
        return TRUE;
    case EM_REDO:
        Redo();
        return TRUE;
    case EM_CANUNDO:
        return CanUndo();
    case EM_CANREDO:
        return CanRedo();
    case EM_REPLACESEL:
    case WM_SETTEXT: {
        if (Editing > 0 || lParam == 0) return CallBase(wnd, msg, wParam, lParam);
        const std::u16string text =
            IsWindowUnicode(wnd) ? std::u16string(reinterpret_cast<const char16_t*>(lParam))
                                 : Widen(reinterpret_cast<const char*>(lParam));
        if (ReadOnly()) return msg == WM_SETTEXT ? FALSE : 0;
        if (msg == WM_SETTEXT)
            EditText(0, GetTextLen(), text, TEditKind::Other);
        else
            ReplaceSel(text);
        return msg == WM_SETTEXT ? TRUE : 0;
    }
    case WM_SIZE: {
        const LRESULT result = CallBase(wnd, msg, wParam, lParam);
        FitTextArea(wnd);
        return result;
    }
    case WM_KILLFOCUS:
        // The release of the Enter will go to another window: indent now rather
        // than leave the editor unpainted until some later key release.
        Keys.FinishPendingIndent();
        History.BreakGroup();
        return CallBase(wnd, msg, wParam, lParam);
    default:
        return CallBase(wnd, msg, wParam, lParam);
    }
}

// A press inside the selection starts a drag of it, as the control would start
// one; the drop moves the text as one step. Anywhere else the control places
// the caret as usual.
void TCustomRichEditQX::MouseDown(HWND wnd, WPARAM wParam, LPARAM lParam) {
    History.BreakGroup();
    POINTL at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    int start = 0, end = 0;
    Selection(start, end);
    const int hit = static_cast<int>(SendMessageA(wnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at)));
    const bool inSelection = start != end && hit >= start && hit < end && (wParam & (MK_SHIFT | MK_CONTROL)) == 0;
    if (!inSelection) {
        CallBase(wnd, WM_LBUTTONDOWN, wParam, lParam);
        return;
    }
    ::SetFocus(wnd);
    POINT screen{at.x, at.y};
    ClientToScreen(wnd, &screen);
    if (!DragDetect(wnd, screen)) {
        SetSel(hit, hit);
        return;
    }
    // Follow the mouse to its release; Esc gives up.
    SetCapture(wnd);
    HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_ARROW));
    int target = -1;
    for (MSG msg; GetCapture() == wnd && GetMessageA(&msg, nullptr, 0, 0);) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
        if (msg.message == WM_LBUTTONUP && msg.hwnd == wnd) {
            POINTL drop{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            target = static_cast<int>(SendMessageA(wnd, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&drop)));
            break;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    ReleaseCapture();
    SetCursor(old);
    if (target < 0 || (target >= start && target <= end) || ReadOnly()) return;
    const std::u16string moved = Range(start, end);
    ++Editing;
    History.BeginStep();
    if (target > end) {
        History.Edit(*this, target, target, moved, TEditKind::Other);
        History.Edit(*this, start, end, u"", TEditKind::Other);
        target -= end - start;
    } else {
        History.Edit(*this, start, end, u"", TEditKind::Other);
        History.Edit(*this, target, target, moved, TEditKind::Other);
    }
    History.EndStep(*this);
    --Editing;
    Select(target, target + static_cast<int>(moved.size()));
    AfterEdit();
}

void TCustomRichEditQX::KeyDown(std::uint16_t& key, unsigned shift) { Keys.KeyDown(key, shift); }
void TCustomRichEditQX::KeyPress(char& key) { Keys.KeyPress(key); }
void TCustomRichEditQX::KeyUp(std::uint16_t& key, unsigned shift) { Keys.KeyUp(key, shift); }

bool TCustomRichEditQX::HandleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Wnd) return false;
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == Wnd && HIWORD(wParam) == EN_CHANGE) {
        // Our own changes tell of themselves once they are recorded.
        if (Editing > 0) return true;
        // A change that came some other way: the index goes, and the selection's
        // line is told again from the control. Should it have changed the text
        // past the history, the history no longer fits the text.
        if (GetTextLen() != ExpectedLength) {
            ExpectedLength = GetTextLen();
            History.Clear();
            History.MarkUnsaved();
        }
        const bool indexed = !Lines.Empty();
        DropLineIndex();
        if (OnChange) OnChange();
        if (indexed && OnSelectionChange) OnSelectionChange();
        return true;
    }
    if (msg == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == Wnd && header->code == EN_SELCHANGE) {
            // A range read moves the selection there and back.
            if (OnSelectionChange && Peeking == 0) OnSelectionChange();
            return true;
        }
    }
    return false;
}

bool TCustomRichEditQX::ReadOnly() const {
    return (GetWindowLongA(Wnd, GWL_STYLE) & ES_READONLY) != 0;
}
void TCustomRichEditQX::SetReadOnly(bool readOnly) { SendMessageA(Wnd, EM_SETREADONLY, readOnly, 0); }

void TCustomRichEditQX::SetFocus() { ::SetFocus(Wnd); }

void TCustomRichEditQX::SetPainting(bool on) {
    SendMessageA(Wnd, WM_SETREDRAW, on, 0);
    if (on) InvalidateRect(Wnd, nullptr, TRUE);
}
