// The editor's control: its creation on the rich-edit window, the subclass
// that takes its messages, the keys, mouse and parent notifications that come
// through it, the text in and out, where things are in it, and every change
// of it as a step of the history.
#include "RichEditQX.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <ole2.h>
#include <richedit.h>

#include "CodePageWin32.h"
#include "QpErrors.h"
#include "RichEditStream.h"
#include "ScopedWin32.h"

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

// The window of a new text until it takes the old one's place.
using ScopedWindow = ScopedResource<HWND, &DestroyWindow>;

const DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                          ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN | ES_DISABLENOSCROLL;

// EM_FINDTEXT's option bits (FT_WHOLEWORD, FT_MATCHCASE), which MinGW's headers lack.
const WPARAM kFindWholeWord = 2;
const WPARAM kFindMatchCase = 4;

// Two halves of one character beyond U+FFFF, which Backspace and Delete take whole.
bool IsSurrogatePair(const std::u16string& s) {
    return s.size() == 2 && s[0] >= 0xD800 && s[0] <= 0xDBFF && s[1] >= 0xDC00 && s[1] <= 0xDFFF;
}

bool IsWordChar(char16_t c) { return c == u'_' || IsCharAlphaNumericW(static_cast<wchar_t>(c)); }

// Text of the ANSI code page, in UTF-16.
std::u16string Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(wide.data()), n);
    return wide;
}

}  // namespace

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
    if (Font.Made()) Font.ApplyTo(wnd);
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
    if (wnd == Wnd && !History.Own() && MayEditText(msg, wParam)) Lines.Drop();
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
        if (IsMoveKey(key)) History.Steps.BreakGroup();
        const LRESULT result = CallBase(wnd, msg, key, lParam);
        if (IsMoveKey(key)) StepOverLineBreak(key == VK_RIGHT);
        if (key >= VK_PRIOR && key <= VK_DOWN) ShowCaretWhole();  // the moving keys
        return result;
    }
    case WM_CHAR:
    case WM_IME_CHAR: {
        // Through the subclass a character comes in UTF-16 when the window says so.
        char16_t c = static_cast<char16_t>(wParam);
        if (!IsWindowUnicode(wnd) && msg == WM_CHAR) {
            std::string bytes;
            if (!Typed.Byte(static_cast<char>(wParam), [](char b) { return IsDBCSLeadByte(static_cast<BYTE>(b)) != 0; },
                            bytes))
                return 0;
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
        History.Steps.BreakGroup();
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
        if (History.Own() || lParam == 0) return CallBase(wnd, msg, wParam, lParam);
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
        History.Steps.BreakGroup();
        return CallBase(wnd, msg, wParam, lParam);
    default:
        return CallBase(wnd, msg, wParam, lParam);
    }
}

// A press inside the selection starts a drag of it, as the control would start
// one; the drop moves the text as one step. Anywhere else the control places
// the caret as usual.
void TCustomRichEditQX::MouseDown(HWND wnd, WPARAM wParam, LPARAM lParam) {
    History.Steps.BreakGroup();
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
    Select(target, target + static_cast<int>(moved.size()));
    AfterEdit();
}

// Wine's control moves the caret one position at a time across a CR LF, to
// between its CR and LF, where a typed character would split the break in
// two; Windows' steps over a line break whole. The caret goes on over it.
// Its Right and Down at the end put the caret past it, on the last paragraph
// mark, where the caret's column counts too far: the caret goes back to the end.
void TCustomRichEditQX::StepOverLineBreak(bool forward) {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin != range.cpMax) return;
    const int pos = range.cpMax;
    const int length = GetTextLen();
    if (pos > length) {
        SetSel(length, length);
        return;
    }
    const int line = LineFromChar(pos);
    const int lineEnd = LineIndex(line) + static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, pos, 0));
    const int next = LineIndex(line + 1);
    if (pos <= lineEnd || next < 0 || pos >= next) return;
    SetSel(forward ? next : lineEnd, forward ? next : lineEnd);
}

void TCustomRichEditQX::KeyDown(std::uint16_t& key, unsigned shift) { Keys.KeyDown(key, shift); }
void TCustomRichEditQX::KeyPress(char& key) { Keys.KeyPress(key); }
void TCustomRichEditQX::KeyUp(std::uint16_t& key, unsigned shift) { Keys.KeyUp(key, shift); }

bool TCustomRichEditQX::HandleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Wnd) return false;
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == Wnd && HIWORD(wParam) == EN_CHANGE) {
        // Our own changes tell of themselves once they are recorded.
        if (History.Own()) return true;
        // A change that came some other way: the index goes, and the selection's
        // line is told again from the control. Should it have changed the text
        // past the history, the history no longer fits the text.
        History.Reported(GetTextLen());
        const bool indexed = Lines.Kept();
        Lines.Drop();
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

std::u16string TCustomRichEditQX::WideText() const { return RichStreamOut(Wnd); }

bool TCustomRichEditQX::EncodedText(std::string& bytes) const {
    return TextForm.Encode(WideText(), AnsiCodePage(), bytes);
}

std::string TCustomRichEditQX::Text() const {
    std::string bytes;
    if (!EncodedText(bytes)) throw Exception("The text has characters that " + EncodingLabel(TextForm.Form()) + " cannot hold");
    return bytes;
}

void TCustomRichEditQX::SetForm(const TSourceForm& form) { TextForm.SetForm(form, AnsiCodePage()); }

void TCustomRichEditQX::SetText(const std::string& bytes) {
    // Whatever an Enter left pending belongs to the old text.
    Keys.DropPendingIndent();

    // Every text comes in a control of its own. The control deletes an old text
    // at a cost that grows much faster than the text (minutes for a megabyte
    // under Wine), while dropping the whole window frees it in one linear pass;
    // and a hidden control takes a text in faster than one in view, which
    // updates itself as the text arrives. The new control is built hidden and
    // quiet, loaded, and only then takes the old one's place, so a failure
    // leaves the old text as it was.
    HWND old = Wnd;
    HWND parent = GetParent(old);
    RECT place{};
    GetWindowRect(old, &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(old, GWL_EXSTYLE));
    const auto id = reinterpret_cast<HMENU>(GetWindowLongPtrA(old, GWLP_ID));
    const LRESULT events = SendMessageA(old, EM_GETEVENTMASK, 0, 0);
    const bool hadFocus = GetFocus() == old;

    const TSourceForm form = DetectSourceForm(bytes);
    const std::u16string text = DecodeSource(bytes, form, AnsiCodePage());
    // Read back: a control that dropped or changed a character must not have
    // it saved so.
    auto faithfulIn = [&](HWND wnd) {
        std::string back;
        return EncodeSource(RichStreamOut(wnd), form, AnsiCodePage(), back, bytes) && back == bytes;
    };
    // The first screen comes in coloured where that gives back the text as it
    // is; else the text comes in plain, and is coloured after.
    TJavaColour::FirstScreen first;
    bool coloured =
        Font.Made() && Colour.PlanFirstScreen(text, Font.LinesIn(static_cast<int>(place.bottom - place.top)), &first);
    ScopedWindow fresh(CreateControl(parent, style & ~WS_VISIBLE, exStyle, place, id, 0));
    if (coloured && !LoadColoured(fresh.Get(), text, first, [&] { return faithfulIn(fresh.Get()); })) {
        coloured = false;
        fresh.Reset();
        fresh.Reset(CreateControl(parent, style & ~WS_VISIBLE, exStyle, place, id, 0));
    }
    bool faithful = true;
    if (!coloured) {
        RichStreamIn(fresh.Get(), text, 0);
        faithful = faithfulIn(fresh.Get());
    }
    StartFresh(fresh.Get());
    // The index only where the control counts lines and characters as it does.
    TLineCache lines;
    lines.Load(fresh.Get(), text);
    Colour.Loaded(fresh.Get(), lines.Starts(), coloured ? &first : nullptr);
    SendMessageA(fresh.Get(), EM_SETEVENTMASK, 0, events);
    Lines = std::move(lines);
    TextForm.Loaded(form, bytes, faithful);
    Wnd = fresh.Release();
    History.Loaded(GetTextLen());
    Typed.Clear();
    // Shown undrawn: the old control's going uncovers the new one, frame and
    // all, and it is drawn once, below. Drawn as it shows, too, its frame and
    // scroll bars would be drawn twice (each time a good part of an open's
    // cost under Wine).
    const bool visible = (style & WS_VISIBLE) != 0;
    SetWindowPos(Wnd, old, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (visible ? SWP_SHOWWINDOW | SWP_NOREDRAW : 0));
    if (hadFocus) ::SetFocus(Wnd);
    // The new text in view before the old control goes: dropping a long text
    // takes the control a while (a third of a second for 4 MB under Wine).
    ShowWindow(old, SW_HIDE);
    if (visible) RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    DestroyWindow(old);
}

bool TCustomRichEditQX::LoadColoured(HWND wnd, const std::u16string& text, const TJavaColour::FirstScreen& first,
                                     const std::function<bool()>& faithful) const {
    try {
        // A whole stream, not one into the selection: its plain text is then in
        // the default format itself, as a plain load has it (Wine's control
        // takes the default line height from there, for one).
        if (!RichStreamInRtf(wnd, first.rtf)) return false;
        if (static_cast<std::size_t>(first.end) < text.size()) {
            CHARRANGE end{first.end, first.end};
            SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
            RichStreamIn(wnd, text, SFF_SELECTION, static_cast<std::size_t>(first.end));
        }
        if (!faithful()) return false;
    } catch (...) {
        return false;
    }
    // The coloured lines and the first character after them in the control's
    // own font, and that character in the plain colour, as the rest has it.
    const int length = RichTextLength(wnd);
    auto formatOf = [&](int from, int to) {
        CHARRANGE range{from, to};
        SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATA got{};
        got.cbSize = sizeof got;
        SendMessageA(wnd, EM_GETCHARFORMAT, TRUE, reinterpret_cast<LPARAM>(&got));
        return got;
    };
    if (!Font.IsOwnFace(formatOf(0, std::min(first.end + 1, length)))) return false;
    if (first.end >= length) return true;
    return Font.IsOwnColour(formatOf(first.end, first.end + 1));
}

// A loaded text starts at its top, wherever the control left the caret,
// unmodified and with nothing to undo.
void TCustomRichEditQX::StartFresh(HWND wnd) {
    CHARRANGE top{0, 0};
    SendMessageA(wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageA(wnd, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(wnd, EM_SETMODIFY, FALSE, 0);
}

int TCustomRichEditQX::GetTextLen() const {
    return RichTextLength(Wnd);
}

void TCustomRichEditQX::SetEditorFont(const TEditorFont& font) {
    Font.Set(font, Wnd);
    const CHARFORMATA& format = Font.Format();
    Colour.SetPlainColour(format.crTextColor, (format.dwEffects & CFE_AUTOCOLOR) != 0);
    Colour.AllPlain(Wnd);
    InvalidateRect(Wnd, nullptr, TRUE);
}

int TCustomRichEditQX::FindText(const std::string& text, int start, int length, TSearchTypes options) const {
    FINDTEXTA find{};
    find.chrg.cpMin = start;
    find.chrg.cpMax = start + length;
    find.lpstrText = text.c_str();
    WPARAM flags = (options.WholeWord ? kFindWholeWord : 0) | (options.MatchCase ? kFindMatchCase : 0);
    return static_cast<int>(SendMessageA(Wnd, EM_FINDTEXT, flags, reinterpret_cast<LPARAM>(&find)));
}

int TCustomRichEditQX::SelStart() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin;
}

int TCustomRichEditQX::SelLength() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax - range.cpMin;
}

void TCustomRichEditQX::SetSelStart(int start) { SetSel(start, start); }

void TCustomRichEditQX::SetSelLength(int length) {
    int start = SelStart();
    SetSel(start, start + length);
}

void TCustomRichEditQX::SetSel(int start, int end) {
    CHARRANGE range{start, end};
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void TCustomRichEditQX::SelectAll() {
    History.Steps.BreakGroup();
    SetSel(0, GetTextLen());
}

int TCustomRichEditQX::LineCount() const { return static_cast<int>(SendMessageA(Wnd, EM_GETLINECOUNT, 0, 0)); }

int TCustomRichEditQX::LineFromChar(int charIndex) const { return Lines.LineOf(Wnd, charIndex); }
int TCustomRichEditQX::LineIndex(int line) const { return Lines.LineStart(Wnd, line); }

void TCustomRichEditQX::ScrollCaret() {
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
    ShowCaretWhole();
}

// The control's own scrolling can stop short: Wine's leaves the scroll bars'
// share of the window out of account, so the caret's line, or a long line's
// end, stays hidden behind them. Measured against the client area here, the
// rest is scrolled.
void TCustomRichEditQX::ShowCaretWhole() {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    POINT at{};
    if (range.cpMin != range.cpMax && ::GetFocus() == Wnd) {
        GetCaretPos(&at);  // the end the user moved
    } else {
        POINTL p{};
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), range.cpMin);
        at = {p.x, p.y};
    }
    RECT view, format;
    GetClientRect(Wnd, &view);
    SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    IntersectRect(&view, &view, &format);
    const int lineHeight = Font.LineHeight(Wnd);
    int lines = 0;
    if (at.y < view.top) lines = -((view.top - at.y + lineHeight - 1) / lineHeight);
    else if (at.y + lineHeight > view.bottom) lines = (at.y + lineHeight - view.bottom + lineHeight - 1) / lineHeight;
    if (lines) SendMessageA(Wnd, EM_LINESCROLL, 0, lines);

    const int caretWidth = 2, margin = (view.right - view.left) / 4;
    int shift = 0;
    if (at.x < view.left) shift = at.x - view.left - margin;
    else if (at.x + caretWidth > view.right) shift = at.x + caretWidth - view.right + margin;
    if (!shift) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_RANGE;
    if (!GetScrollInfo(Wnd, SB_HORZ, &info)) return;
    const int target = std::max(0, info.nPos + shift);
    // The message carries 16 bits; a wider range goes by its share of 0xFFFF.
    const int thumb = info.nMax > 0xFFFF ? MulDiv(target, 0xFFFF, info.nMax) : target;
    SendMessageA(Wnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, thumb), 0);
}

void TCustomRichEditQX::ShowLine(int line) {
    const int first = static_cast<int>(SendMessageA(Wnd, EM_GETFIRSTVISIBLELINE, 0, 0));
    // The height of a line from two neighbours' positions (a line's height is the font's).
    POINTL top{}, next{};
    const int firstStart = LineIndex(first), nextStart = LineIndex(first + 1);
    RECT view{};
    SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&view));
    if (nextStart > firstStart) {
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&top), firstStart);
        SendMessageA(Wnd, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next), nextStart);
    }
    const int height = static_cast<int>(next.y - top.y);
    if (height > 0) {
        const int shown = (view.bottom - view.top) / height;
        SendMessageA(Wnd, EM_LINESCROLL, 0, line - first - shown / 2);
    }
    ScrollCaret();
}

TCaretPos TCustomRichEditQX::CaretPos() const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    TCaretPos pos;
    pos.Y = LineFromChar(range.cpMax);
    pos.X = range.cpMax - LineIndex(-1);
    return pos;
}

std::string TCustomRichEditQX::LineText(int line) const {
    const int start = LineIndex(line);
    if (start < 0) return "";
    const int length = static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, start, 0));
    if (length <= 0) return "";
    // EM_GETTEXTRANGE rather than EM_GETLINE: a line may be longer than its 16-bit size field.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    TEXTRANGEA range{};
    range.chrg.cpMin = start;
    range.chrg.cpMax = start + length;
    range.lpstrText = text.data();
    const int got = static_cast<int>(SendMessageA(Wnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)));
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, length)));
    return text;
}

bool TCustomRichEditQX::SelectedLines(int& first, int& last) const {
    int start = 0, end = 0;
    Selection(start, end);
    first = LineFromChar(start);
    last = LineFromChar(end);
    if (first == last) return false;
    if (end == LineIndex(last)) --last;
    return true;
}

// RICHED32's own window procedure is an ANSI one, on Windows and under Wine
// alike: EM_GETTEXTRANGE and EM_REPLACESEL carry the ANSI code page, with '?'
// for what it cannot hold. The selection's text goes in and out in UTF-16
// (code page 1200) whatever the procedure, so ranges are read and replaced
// through the selection.
std::u16string TCustomRichEditQX::Range(int start, int end) const { return ReadRange(start, end); }

// A position between the CR and the LF of a line break is none the control
// selects: it moves such an end (Wine's, to before the CR), so the text read
// is that of the range it selected, which start and end then give. Each
// paragraph end comes as CR LF (GT_USECRLF: Windows' later controls give a
// bare CR without it), and the whole of it is read, never cut to the length
// asked for.
std::u16string TCustomRichEditQX::ReadRange(int& start, int& end) const {
    if (end <= start) {
        end = start;
        return {};
    }
    CHARRANGE was{};
    SendMessageW(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&was));
    const bool move = was.cpMin != start || was.cpMax != end;
    ++Peeking;
    CHARRANGE range{start, end};
    if (move) {
        SendMessageW(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    // Wine's control counts a selection to the end as running past it (its last paragraph mark).
    const int length = GetTextLen();
    start = std::clamp(static_cast<int>(range.cpMin), 0, length);
    end = std::clamp(static_cast<int>(range.cpMax), start, length);
    const auto room = 2 * static_cast<std::size_t>(end - start) + 1;
    std::u16string text(room, u'\0');
    GETTEXTEX how{};
    how.cb = static_cast<DWORD>(room * sizeof(char16_t));
    how.flags = GT_SELECTION | GT_USECRLF;
    how.codepage = 1200;
    const auto got = static_cast<int>(
        SendMessageW(Wnd, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.data())));
    if (move) SendMessageW(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&was));
    --Peeking;
    text.resize(static_cast<std::size_t>(std::clamp(got, 0, static_cast<int>(room) - 1)));
    return text;
}

int TCustomRichEditQX::Replace(int start, int end, const std::u16string& text) {
    // Setting a selection costs a search from the top of the text under Wine;
    // typing replaces the selection there already. The selection as the
    // control has it, not as Selection() counts it: Wine's Right at the end
    // puts the caret past it, on the last paragraph mark, and text put in
    // there brings Wine's control down.
    CHARRANGE was{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&was));
    if (was.cpMin != start || was.cpMax != end) SetSel(start, end);
    // The line index follows the change; a use checks it is still in step.
    Lines.Follow(start, end, text);
    // The count of characters it put in: 0 for an empty text, or where the
    // message is not known (a control before version 2.0), which takes the code page.
    SETTEXTEX how{ST_SELECTION, 1200};
    if (!SendMessageW(Wnd, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how), reinterpret_cast<LPARAM>(text.c_str())) &&
        !text.empty()) {
        const auto* w = reinterpret_cast<const wchar_t*>(text.data());
        const int n = WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<std::size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, 0, w, static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
        SendMessageA(Wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(bytes.c_str()));
    }
    int caretStart = 0, caret = 0;
    Selection(caretStart, caret);
    return caret;
}

void TCustomRichEditQX::Selection(int& start, int& end) const {
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // Wine's control counts a whole-text selection to past the end (its last
    // paragraph mark); the history works in the text's own positions.
    const int length = GetTextLen();
    start = std::clamp(static_cast<int>(range.cpMin), 0, length);
    end = std::clamp(static_cast<int>(range.cpMax), start, length);
}

void TCustomRichEditQX::Select(int start, int end) {
    SetSel(start, end);
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
}

// The editing keys the control would otherwise handle on its own, past the
// history; true when the key was one.
bool TCustomRichEditQX::EditKey(std::uint16_t key, unsigned mods) {
    if ((key == 'V' && mods == ssCtrl) || (key == VK_INSERT && mods == ssShift)) {
        Paste();
    } else if ((key == 'Z' && mods == ssCtrl) || (key == VK_BACK && mods == ssAlt)) {
        Undo();
    } else if ((key == 'Y' && mods == ssCtrl) || (key == 'Z' && mods == (ssCtrl | ssShift))) {
        Redo();
    } else if ((key == 'X' && mods == ssCtrl) || (key == VK_DELETE && mods == ssShift)) {
        Cut();
    } else if (key == 'A' && mods == ssCtrl) {
        SelectAll();
    } else if (key == VK_BACK && (mods & ssAlt) == 0) {
        DeleteBack((mods & ssCtrl) != 0);
    } else if (key == VK_DELETE && (mods & (ssAlt | ssShift)) == 0) {
        DeleteForward((mods & ssCtrl) != 0);
    } else if (key == VK_INSERT && mods == 0) {
        // No overtype: typing always inserts, as the history records it.
    } else if ((mods & ssCtrl) && ((key >= 'A' && key <= 'Z' && key != 'C') || (key >= '0' && key <= '9'))) {
        // The control in rich-text mode (for the colours) takes Ctrl+B, I, U, E, L, R,
        // J and the digits as formats of bold, alignment and line spacing: not
        // for a source. Ctrl+C copies; the program's own keys never get here.
    } else {
        return false;
    }
    return true;
}

void TCustomRichEditQX::TypeChar(char16_t c) {
    // Control characters (Backspace's, Ctrl+letter's) type nothing; their keys did the work.
    if ((c < 0x20 && c != u'\r' && c != u'\t') || c == 0x7F) return;
    std::u16string text;
    if (!Typed.Unit(c, text)) return;
    char key = c < 0x80 ? static_cast<char>(c) : 'x';
    KeyPress(key);
    if (key == 0 || ReadOnly()) return;
    int start = 0, end = 0;
    Selection(start, end);
    if (c == u'\r')
        EditText(start, end, u"\r\n", TEditKind::Other);
    else
        EditText(start, end, text, TEditKind::Typing);
}

bool TCustomRichEditQX::DeleteSelection(int start, int end) {
    if (start == end) return false;
    EditText(start, end, u"", TEditKind::Other);
    return true;
}

namespace {

// The one character that ends text: a CR LF line break, the two halves of a
// character beyond U+FFFF, or the last unit.
std::size_t LastCharSize(const std::u16string& text) {
    if (text.size() >= 2 && (text.compare(text.size() - 2, 2, u"\r\n") == 0 || IsSurrogatePair(text.substr(text.size() - 2))))
        return 2;
    return std::min<std::size_t>(text.size(), 1);
}

// The one character that starts text, as above.
std::size_t FirstCharSize(const std::u16string& text) {
    if (text.size() >= 2 && (text.compare(0, 2, u"\r\n") == 0 || IsSurrogatePair(text.substr(0, 2)))) return 2;
    return std::min<std::size_t>(text.size(), 1);
}

}  // namespace

// The character before pos, as the control holds it. What is read is what
// the step removes: the range read reaches back far enough for a line break
// or a pair, and the control may have started it elsewhere than asked.
std::u16string TCustomRichEditQX::CharBefore(int pos) const {
    int from = std::max(pos - 2, 0), to = pos;
    const std::u16string before = ReadRange(from, to);
    if (to != pos) return {};
    return before.substr(before.size() - LastCharSize(before));
}

std::u16string TCustomRichEditQX::CharAfter(int pos) const {
    int from = pos, to = std::min(pos + 2, GetTextLen());
    const std::u16string after = ReadRange(from, to);
    if (from != pos) return {};
    return after.substr(0, FirstCharSize(after));
}

void TCustomRichEditQX::DeleteBack(bool word) {
    int start = 0, end = 0;
    Selection(start, end);
    if (DeleteSelection(start, end) || start == 0) return;
    if (!word) {
        const std::u16string before = CharBefore(start);
        if (before.empty()) return;
        EditText(start - static_cast<int>(before.size()), end, u"", TEditKind::Deleting, &before);
        return;
    }
    // Ctrl+Backspace: the blanks and then the word before the caret, or one
    // other character, or the line break at the line's start.
    const int lineStart = LineIndex(LineFromChar(start));
    const std::u16string line = Range(lineStart, start);
    int p = static_cast<int>(line.size());
    while (p > 0 && (line[p - 1] == u' ' || line[p - 1] == u'\t')) --p;
    while (p > 0 && IsWordChar(line[p - 1])) --p;
    if (p == static_cast<int>(line.size()) && p > 0) --p;
    if (lineStart + p == start) {
        const std::u16string before = CharBefore(start);
        if (before.empty()) return;
        EditText(start - static_cast<int>(before.size()), end, u"", TEditKind::Other, &before);
        return;
    }
    EditText(lineStart + p, end, u"", TEditKind::Other);
}

void TCustomRichEditQX::DeleteForward(bool word) {
    int start = 0, end = 0;
    Selection(start, end);
    if (DeleteSelection(start, end)) return;
    const int length = GetTextLen();
    if (end >= length) return;
    if (!word) {
        const std::u16string after = CharAfter(end);
        if (after.empty()) return;
        EditText(start, end + static_cast<int>(after.size()), u"", TEditKind::Deleting, &after);
        return;
    }
    // Ctrl+Delete: the word after the caret and the blanks behind it, or one
    // other character, or the line break at the line's end.
    const int lineEnd = LineIndex(LineFromChar(end)) + static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, end, 0));
    const std::u16string rest = Range(end, std::max(end, lineEnd));
    std::size_t p = 0;
    while (p < rest.size() && IsWordChar(rest[p])) ++p;
    while (p < rest.size() && (rest[p] == u' ' || rest[p] == u'\t')) ++p;
    if (p == 0 && !rest.empty()) p = FirstCharSize(rest);
    if (p == 0) {
        const std::u16string after = CharAfter(end);
        if (after.empty()) return;
        EditText(start, end + static_cast<int>(after.size()), u"", TEditKind::Other, &after);
        return;
    }
    EditText(start, end + static_cast<int>(p), u"", TEditKind::Other);
}

void TCustomRichEditQX::InsertAtCaret(const std::string& text, bool withPrevious) {
    // Our own blanks never change a text the user cannot change.
    if (ReadOnly()) return;
    int start = 0, end = 0;
    Selection(start, end);
    EditText(start, end, Widen(text), withPrevious ? TEditKind::Attach : TEditKind::Other);
}

void TCustomRichEditQX::ChangeIndents(int first, const std::vector<TIndentChange>& changes) {
    if (ReadOnly() || changes.empty()) return;
    // The lines change as one block, read once and replaced once: a replacement
    // per line costs the control a search from the top each (seconds for a few
    // hundred lines under Wine).
    const int blockStart = LineIndex(first);
    const int lastStart = LineIndex(first + static_cast<int>(changes.size()) - 1);
    if (blockStart < 0 || lastStart < 0) return;
    const int blockEnd = lastStart + static_cast<int>(SendMessageA(Wnd, EM_LINELENGTH, lastStart, 0));
    const std::u16string old = Range(blockStart, blockEnd);
    std::u16string block;
    block.reserve(old.size() + changes.size() * TEditorKeys::TabWidth);
    std::size_t pos = 0;
    for (std::size_t line = 0;; ++line) {
        std::size_t end = old.find_first_of(u"\r\n", pos);
        if (end == std::u16string::npos) end = old.size();
        const std::size_t length = end - pos;
        std::size_t cut = 0;
        if (line < changes.size()) {
            block.append(static_cast<std::size_t>(changes[line].add), u' ');
            cut = std::min(length, static_cast<std::size_t>(std::max(changes[line].remove, 0)));
        }
        block.append(old, pos + cut, length - cut);
        if (end == old.size()) break;
        const std::size_t brk = old.compare(end, 2, u"\r\n") == 0 ? 2 : 1;
        block.append(old, end, brk);
        pos = end + brk;
    }
    History.Edit(*this, blockStart, blockEnd, block, TEditKind::Other, static_cast<std::int64_t>(GetTickCount()), &old);
    const int next = LineIndex(first + static_cast<int>(changes.size()));
    SetSel(LineIndex(first), next < 0 ? GetTextLen() : next);
    AfterEdit();
}

bool TCustomRichEditQX::Modified() const { return History.Steps.Modified(); }
void TCustomRichEditQX::SetModified(bool modified) {
    if (modified)
        History.Steps.MarkUnsaved();
    else
        History.Steps.MarkSaved();
    SendMessageA(Wnd, EM_SETMODIFY, modified, 0);
}

bool TCustomRichEditQX::CanUndo() const { return History.Steps.CanUndo() && !ReadOnly(); }
bool TCustomRichEditQX::CanRedo() const { return History.Steps.CanRedo() && !ReadOnly(); }

void TCustomRichEditQX::Undo() { Replay(false); }
void TCustomRichEditQX::Redo() { Replay(true); }

void TCustomRichEditQX::Replay(bool redo) {
    // An Enter's indentation still to come belongs to the step it undoes.
    Keys.FinishPendingIndent();
    if (!(redo ? CanRedo() : CanUndo())) return;
    History.Replay(*this, redo);
    AfterEdit();
}

void TCustomRichEditQX::EditText(int start, int end, const std::u16string& text, TEditKind kind,
                                 const std::u16string* removed) {
    if (ReadOnly()) return;
    History.Edit(*this, start, end, text, kind, static_cast<std::int64_t>(GetTickCount()), removed);
    AfterEdit();
}

void TCustomRichEditQX::AfterEdit() {
    History.Done(GetTextLen());
    SendMessageA(Wnd, EM_SETMODIFY, History.Steps.Modified(), 0);
    SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
    if (OnChange) OnChange();
}

void TCustomRichEditQX::ReplaceSel(const std::u16string& text) {
    int start = 0, end = 0;
    Selection(start, end);
    EditText(start, end, text, TEditKind::Other);
}

int TCustomRichEditQX::ReplaceAll(const std::string& find, const std::u16string& with, TSearchTypes options) {
    if (find.empty() || ReadOnly()) return 0;
    Keys.FinishPendingIndent();
    const int matchLength = static_cast<int>(Widen(find).size());
    int count = 0;
    History.BeginStep();
    for (int pos = 0;;) {
        const int length = GetTextLen();
        const int found = pos < length ? FindText(find, pos, length - pos, options) : -1;
        if (found < 0) break;
        History.Edit(*this, found, found + matchLength, with, TEditKind::Other);
        int caretStart = 0;
        Selection(caretStart, pos);
        ++count;
    }
    History.EndStep(*this);
    if (count > 0) AfterEdit();
    return count;
}

bool TCustomRichEditQX::CanCutCopy() const { return SelLength() != 0; }

void TCustomRichEditQX::Cut() {
    if (SelLength() == 0 || ReadOnly()) return;
    Copy();
    ReplaceSel(u"");
}

void TCustomRichEditQX::Copy() { SendMessageA(Wnd, WM_COPY, 0, 0); }
bool TCustomRichEditQX::CanPaste() const {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT);
}

// The clipboard's text, plain, in the editor's own font and with the text's
// own line breaks, replaces the selection as one step: the control's own paste would bring rich text's fonts and colours
// in (and under Wine replaces the whole text of a control in plain-text mode).
void TCustomRichEditQX::Paste() {
    if (ReadOnly()) return;
    std::u16string text;
    {
        const ScopedClipboard clipboard(Wnd);
        if (!clipboard.Open()) return;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            const ScopedGlobalLock locked(data);
            if (const auto* p = static_cast<const char16_t*>(locked.Get())) {
                const std::size_t limit = locked.Size() / sizeof(char16_t);
                std::size_t n = 0;
                while (n < limit && p[n]) ++n;
                text.assign(p, n);
            }
        } else if (HANDLE data = GetClipboardData(CF_TEXT)) {
            const ScopedGlobalLock locked(data);
            if (const char* p = static_cast<const char*>(locked.Get()))
                text = Widen(std::string(p, strnlen(p, locked.Size())));
        }
    }
    if (!text.empty()) ReplaceSel(WithControlBreaks(text));
}
