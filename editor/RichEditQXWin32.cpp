#include "RichEditQX.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>

#include "EditorFontWin32.h"
#include "QpErrors.h"

namespace {

// Our subclass of the control, one per window.
const UINT_PTR kSubclassId = 1;

// EM_FINDTEXT's option bits (FT_WHOLEWORD, FT_MATCHCASE), which MinGW's headers lack.
const WPARAM kFindWholeWord = 2;
const WPARAM kFindMatchCase = 4;

// RICHED32.DLL registers the "RICHEDIT" class when it loads; it stays loaded for
// the life of the program.
void LoadRichEdit() {
    static HMODULE lib = LoadLibraryA("RICHED32.DLL");
    if (!lib) throw Exception("Cannot load RICHED32.DLL");
}

unsigned ShiftState(LPARAM keyData) {
    unsigned shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if ((keyData & (1 << 29)) != 0 || GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    if (GetKeyState(VK_LBUTTON) < 0) shift |= ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) shift |= ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) shift |= ssMiddle;
    return shift;
}

struct StringSource {
    const std::string* bytes;
    std::size_t pos;
};

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* in = reinterpret_cast<StringSource*>(cookie);
    std::size_t n = std::min(static_cast<std::size_t>(size > 0 ? size : 0), in->bytes->size() - in->pos);
    // A chunk never ends between the CR and the LF of one line break: Wine's
    // control reads such a pair as two line breaks, and every line number below
    // it would be one off. A chunk of one byte has no room to move the end.
    if (n > 1 && in->pos + n < in->bytes->size() && (*in->bytes)[in->pos + n - 1] == '\r' &&
        (*in->bytes)[in->pos + n] == '\n')
        --n;
    std::memcpy(buffer, in->bytes->data() + in->pos, n);
    in->pos += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* out = reinterpret_cast<std::string*>(cookie);
    out->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(size));
    *done = size;
    return 0;
}

// Messages and keys after which the control's text may differ from the text
// it was loaded with. Only moving the caret or the view keeps the line index.
bool MayEditText(UINT msg, WPARAM wParam) {
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return !((wParam >= VK_PRIOR && wParam <= VK_DOWN) || (wParam >= VK_F1 && wParam <= VK_F24) ||
                 wParam == VK_SHIFT || wParam == VK_CONTROL || wParam == VK_MENU || wParam == VK_ESCAPE);
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_SETTEXT:
    case EM_UNDO:
    case EM_REDO:
    case EM_REPLACESEL:
    case EM_STREAMIN:
    case EM_SETTEXTEX:
        return true;
    }
    return false;
}

const DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_AUTOHSCROLL |
                          ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN | ES_DISABLENOSCROLL;

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
    HWND wnd = CreateWindowExA(exStyle, "RICHEDIT", "", style, place.left, place.top, place.right - place.left,
                               place.bottom - place.top, parent, id, GetModuleHandleA(nullptr), nullptr);
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
    Subclass(wnd);
    return wnd;
}

void TCustomRichEditQX::Subclass(HWND wnd) {
    SetWindowSubclass(wnd, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

TCustomRichEditQX::~TCustomRichEditQX() {
    // The parent may have destroyed the window already; WM_NCDESTROY cleared Wnd then.
    if (Wnd) DestroyWindow(Wnd);
    if (Font) DeleteObject(Font);
}

LRESULT CALLBACK TCustomRichEditQX::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR self) {
    // No failure may unwind into the system's code.
    try {
        return reinterpret_cast<TCustomRichEditQX*>(self)->WindowProc(wnd, msg, wParam, lParam);
    } catch (...) {
        HandleStrayFailure();
        return 0;
    }
}

// wnd rather than Wnd: while the text is replaced, the outgoing control still
// receives messages (focus, destruction) after Wnd names the new one.
LRESULT TCustomRichEditQX::CallBase(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd != Wnd) return DefSubclassProc(wnd, msg, wParam, lParam);
    Colour.Before(wnd, msg, wParam);
    const LRESULT result = DefSubclassProc(wnd, msg, wParam, lParam);
    Colour.After(wnd, msg, wParam);
    return result;
}

LRESULT TCustomRichEditQX::WindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (wnd == Wnd && MayEditText(msg, wParam)) DropLineIndex();
    if (wnd == Wnd && Colour.Timer(wnd, msg, wParam)) return 0;
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
        // The paste keys take the clipboard's text through Paste().
        const unsigned mods = shift & (ssShift | ssAlt | ssCtrl);
        if ((key == 'V' && mods == ssCtrl) || (key == VK_INSERT && mods == ssShift)) {
            Paste();
            return 0;
        }
        return CallBase(wnd, msg, key, lParam);
    }
    case WM_PASTE:
        Paste();
        return 0;
    case WM_CHAR: {
        char key = static_cast<char>(wParam);
        KeyPress(key);
        if (key == 0) return 0;
        return CallBase(wnd, msg, static_cast<unsigned char>(key), lParam);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        LRESULT result = CallBase(wnd, msg, wParam, lParam);
        auto key = static_cast<std::uint16_t>(wParam);
        KeyUp(key, ShiftState(lParam));
        return result;
    }
    case WM_KILLFOCUS:
        // The release of the Enter will go to another window: indent now rather
        // than leave the editor unpainted until some later key release.
        Keys.FinishPendingIndent();
        return CallBase(wnd, msg, wParam, lParam);
    case WM_NCDESTROY:
        RemoveWindowSubclass(wnd, &SubclassProc, kSubclassId);
        if (wnd == Wnd) Wnd = nullptr;
        return DefSubclassProc(wnd, msg, wParam, lParam);
    default:
        return CallBase(wnd, msg, wParam, lParam);
    }
}

void TCustomRichEditQX::KeyDown(std::uint16_t& key, unsigned shift) { Keys.KeyDown(key, shift); }
void TCustomRichEditQX::KeyPress(char& key) { Keys.KeyPress(key); }
void TCustomRichEditQX::KeyUp(std::uint16_t& key, unsigned shift) { Keys.KeyUp(key, shift); }

bool TCustomRichEditQX::HandleParentMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Wnd) return false;
    if (msg == WM_COMMAND && reinterpret_cast<HWND>(lParam) == Wnd && HIWORD(wParam) == EN_CHANGE) {
        // A change that came some other way (a drop): the index goes, and the
        // selection's line is told again from the control.
        const bool indexed = !Lines.Empty();
        DropLineIndex();
        if (OnChange) OnChange();
        if (indexed && OnSelectionChange) OnSelectionChange();
        return true;
    }
    if (msg == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == Wnd && header->code == EN_SELCHANGE) {
            if (OnSelectionChange) OnSelectionChange();
            return true;
        }
    }
    return false;
}

std::string TCustomRichEditQX::Text() const {
    std::string text;
    text.reserve(static_cast<std::size_t>(SendMessageA(Wnd, WM_GETTEXTLENGTH, 0, 0)));
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&text);
    stream.pfnCallback = &WriteToString;
    SendMessageA(Wnd, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) throw Exception("Cannot read the editor's text");
    return text;
}

void TCustomRichEditQX::StreamIn(HWND wnd, const std::string& bytes) {
    StringSource in{&bytes, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&in);
    stream.pfnCallback = &ReadFromString;
    SendMessageA(wnd, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0 || in.pos != bytes.size()) throw Exception("Cannot load the text into the editor");
}

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

    HWND fresh = CreateControl(parent, style & ~WS_VISIBLE, exStyle, place, id, 0);
    try {
        StreamIn(fresh, bytes);
    } catch (...) {
        DestroyWindow(fresh);
        throw;
    }
    StartFresh(fresh);
    Colour.Loaded(fresh);
    // The index only where the control counts lines and characters as it does
    // (a double-byte code page, for one, has characters of two bytes).
    TLineIndex lines(bytes);
    const int last = lines.LineCount() - 1;
    const bool counted = SendMessageA(fresh, WM_GETTEXTLENGTH, 0, 0) == static_cast<LRESULT>(bytes.size()) &&
                         SendMessageA(fresh, EM_GETLINECOUNT, 0, 0) == lines.LineCount() &&
                         SendMessageA(fresh, EM_LINEINDEX, static_cast<WPARAM>(last), 0) == lines.LineStart(last);
    SendMessageA(fresh, EM_SETEVENTMASK, 0, events);
    Lines = counted ? std::move(lines) : TLineIndex();
    Wnd = fresh;
    SetWindowPos(fresh, old, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | ((style & WS_VISIBLE) ? SWP_SHOWWINDOW : 0));
    if (hadFocus) ::SetFocus(fresh);
    // The new text in view before the old control goes: dropping a long text
    // takes the control a while (a third of a second for 4 MB under Wine).
    ShowWindow(old, SW_HIDE);
    if (style & WS_VISIBLE) UpdateWindow(fresh);
    DestroyWindow(old);
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
    return static_cast<int>(SendMessageA(Wnd, WM_GETTEXTLENGTH, 0, 0));
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

bool TCustomRichEditQX::Modified() const { return SendMessageA(Wnd, EM_GETMODIFY, 0, 0) != 0; }
void TCustomRichEditQX::SetModified(bool modified) { SendMessageA(Wnd, EM_SETMODIFY, modified, 0); }

bool TCustomRichEditQX::ReadOnly() const {
    return (GetWindowLongA(Wnd, GWL_STYLE) & ES_READONLY) != 0;
}
void TCustomRichEditQX::SetReadOnly(bool readOnly) { SendMessageA(Wnd, EM_SETREADONLY, readOnly, 0); }

void TCustomRichEditQX::SetEditorFont(const TEditorFont& font) {
    LOGFONTA logFont{};
    HDC screen = GetDC(nullptr);
    logFont.lfHeight = -MulDiv(font.size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    logFont.lfWeight = (font.style & TEditorFont::Bold) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (font.style & TEditorFont::Italic) ? 1 : 0;
    logFont.lfUnderline = (font.style & TEditorFont::Underline) ? 1 : 0;
    logFont.lfStrikeOut = (font.style & TEditorFont::StrikeOut) ? 1 : 0;
    logFont.lfCharSet = static_cast<BYTE>(font.charset);
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(logFont.lfFaceName, font.name.c_str(), LF_FACESIZE);
    HFONT newFont = CreateFontIndirectA(&logFont);
    if (!newFont) throw Exception("Cannot create the font " + font.name);

    CHARFORMATA format = CharFormatOf(font);

    // The control lets go of the old font before it is deleted.
    HFONT oldFont = Font;
    Font = newFont;
    Format = format;
    ApplyFont(Wnd);
    Colour.SetPlainColour(format.crTextColor, (format.dwEffects & CFE_AUTOCOLOR) != 0);
    Colour.AllPlain(Wnd);
    InvalidateRect(Wnd, nullptr, TRUE);
    if (oldFont) DeleteObject(oldFont);
}

void TCustomRichEditQX::ApplyFont(HWND wnd) const {
    // A new font is no edit: it neither marks the text modified nor reports a change.
    const bool modified = SendMessageA(wnd, EM_GETMODIFY, 0, 0) != 0;
    const LRESULT mask = SendMessageA(wnd, EM_SETEVENTMASK, 0, 0);
    CHARFORMATA format = Format;
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(wnd, EM_SETEVENTMASK, 0, mask);
    SendMessageA(wnd, EM_SETMODIFY, modified, 0);
}

bool TCustomRichEditQX::CanUndo() const { return SendMessageA(Wnd, EM_CANUNDO, 0, 0) != 0; }
void TCustomRichEditQX::Undo() { SendMessageA(Wnd, EM_UNDO, 0, 0); }
bool TCustomRichEditQX::CanCutCopy() const { return SelLength() != 0; }
void TCustomRichEditQX::Cut() { SendMessageA(Wnd, WM_CUT, 0, 0); }
void TCustomRichEditQX::Copy() { SendMessageA(Wnd, WM_COPY, 0, 0); }
bool TCustomRichEditQX::CanPaste() const { return IsClipboardFormatAvailable(CF_TEXT) != 0; }
// The clipboard's text replaces the selection, undoably. Done here rather than by
// the control's own paste, which under Wine replaces the whole text of a control
// in plain-text mode; on Windows the result is the same.
void TCustomRichEditQX::Paste() {
    if (ReadOnly() || !OpenClipboard(Wnd)) return;
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (!text.empty()) SendMessageA(Wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TCustomRichEditQX::LineIndexInStep() const {
    if (Lines.Empty()) return false;
    // Cheap checks, for a change that came unseen: the length, and the start
    // of the caret's line (the control finds that from the caret, not from the top).
    CHARRANGE range{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int caretLineStart = static_cast<int>(SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
    if (GetTextLen() == Lines.TextLength() &&
        (caretLineStart == Lines.LineStart(Lines.LineOf(range.cpMin)) ||
         caretLineStart == Lines.LineStart(Lines.LineOf(range.cpMax))))
        return true;
    DropLineIndex();
    return false;
}

int TCustomRichEditQX::LineFromChar(int charIndex) const {
    if (LineIndexInStep()) return Lines.LineOf(charIndex);
    return static_cast<int>(SendMessageA(Wnd, EM_EXLINEFROMCHAR, 0, charIndex));
}

int TCustomRichEditQX::LineIndex(int line) const {
    if (line >= 0 && LineIndexInStep()) return Lines.LineStart(line);
    return static_cast<int>(SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}

void TCustomRichEditQX::ScrollCaret() { SendMessageA(Wnd, EM_SCROLLCARET, 0, 0); }
void TCustomRichEditQX::SetFocus() { ::SetFocus(Wnd); }

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

void TCustomRichEditQX::InsertAtCaret(const std::string& text) {
    // Our own blanks never change a text the user cannot change.
    if (ReadOnly()) return;
    SendMessageA(Wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomRichEditQX::SetPainting(bool on) {
    SendMessageA(Wnd, WM_SETREDRAW, on, 0);
    if (on) InvalidateRect(Wnd, nullptr, TRUE);
}
