#include "JavaLexer.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

using std::string_view;

// The reserved words, with the literals true, false and null, which read as words too.
constexpr std::array<string_view, 54> kReserved = {
    "_",         "abstract",   "assert",       "boolean",  "break",      "byte",     "case",      "catch",
    "char",      "class",      "const",        "continue", "default",    "do",       "double",    "else",
    "enum",      "extends",    "false",        "final",    "finally",    "float",    "for",       "goto",
    "if",        "implements", "import",       "instanceof", "int",      "interface", "long",     "native",
    "new",       "null",       "package",      "private",  "protected",  "public",   "return",    "short",
    "static",    "strictfp",   "super",        "switch",   "synchronized", "this",   "throw",     "throws",
    "transient", "true",       "try",          "void",     "volatile",   "while"};

static_assert(std::is_sorted(kReserved.begin(), kReserved.end()) && !kReserved.front().empty());

bool IsReserved(string_view word) { return std::binary_search(kReserved.begin(), kReserved.end(), word); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Bytes past ASCII are taken for letters: accented names in UTF-8 or a code page.
bool IsIdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool IsIdentPart(char c) { return IsIdentStart(c) || IsDigit(c); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\f'; }
// What may follow "when" in a guard: the start of an expression, not "when = x" or "when.x".
bool IsGuardStart(char c) {
    return IsIdentStart(c) || IsDigit(c) || c == '(' || c == '!' || c == '-' || c == '"' || c == '\'';
}

class LineLexer {
public:
    LineLexer(string_view line, std::vector<TJavaSpan>& spans) : s(line), out(spans) {}

    TLexState Run(TLexState state) {
        switch (state) {
        case TLexState::BlockComment:
        case TLexState::DocComment:
            if (!EndComment(0)) return state;
            break;
        case TLexState::TextBlock:
            if (!EndTextBlock(0)) return state;
            break;
        case TLexState::Code: break;
        }
        while (i < s.size()) {
            const char c = s[i];
            if (c == '/' && At(i + 1) == '/') {
                Emit(i, s.size(), TJavaToken::Comment);
                return TLexState::Code;
            }
            if (c == '/' && At(i + 1) == '*') {
                // "/**/" is an empty block comment, not the start of a documentation one.
                const bool doc = At(i + 2) == '*' && At(i + 3) != '/';
                const std::size_t start = i;
                i += 2;
                if (!EndComment(start)) return doc ? TLexState::DocComment : TLexState::BlockComment;
            } else if (c == '"' && At(i + 1) == '"' && At(i + 2) == '"') {
                const std::size_t start = i;
                i += 3;
                if (!EndTextBlock(start)) return TLexState::TextBlock;
            } else if (c == '"' || c == '\'') {
                Quoted(c);
            } else if (IsDigit(c) || (c == '.' && IsDigit(At(i + 1)))) {
                Number();
            } else if (IsIdentStart(c)) {
                Word();
            } else if (c == '@') {
                Annotation();
            } else {
                // A case label's guard ends at its arrow or at the statement's end.
                if ((c == '-' && At(i + 1) == '>') || c == ';' || c == '{') caseLabel = false;
                ++i;
            }
        }
        return TLexState::Code;
    }

private:
    string_view s;
    std::vector<TJavaSpan>& out;
    std::size_t i = 0;
    bool caseLabel = false;  // after "case" on this line, where "when" starts a guard
    string_view lead;        // the module directive that begins this line

    char At(std::size_t k) const { return k < s.size() ? s[k] : '\0'; }

    void Emit(std::size_t start, std::size_t end, TJavaToken kind) {
        if (end <= start) return;
        // A comment right after a comment (or a string after a string) is one span.
        if (!out.empty() && out.back().Kind == kind && out.back().Start + out.back().Length == static_cast<int>(start))
            out.back().Length += static_cast<int>(end - start);
        else
            out.push_back({static_cast<int>(start), static_cast<int>(end - start), kind});
    }

    // Inside a comment from i: true when it closes on this line.
    bool EndComment(std::size_t start) {
        const std::size_t close = s.find("*/", i);
        if (close == string_view::npos) {
            Emit(start, s.size(), TJavaToken::Comment);
            i = s.size();
            return false;
        }
        i = close + 2;
        Emit(start, i, TJavaToken::Comment);
        return true;
    }

    // Inside a text block from i: true when its closing quotes are on this line.
    bool EndTextBlock(std::size_t start) {
        while (i < s.size()) {
            if (s[i] == '\\') {
                i += 2;
            } else if (s[i] == '"' && At(i + 1) == '"' && At(i + 2) == '"') {
                i += 3;
                Emit(start, i, TJavaToken::String);
                return true;
            } else {
                ++i;
            }
        }
        i = s.size();
        Emit(start, s.size(), TJavaToken::String);
        return false;
    }

    // A string or character literal; one left open ends with its line, as the compiler's error does.
    void Quoted(char quote) {
        const std::size_t start = i++;
        while (i < s.size() && s[i] != quote) i += s[i] == '\\' ? 2 : 1;
        i = std::min(i + 1, s.size());
        Emit(start, i, TJavaToken::String);
    }

    std::size_t Digits(std::size_t k, bool hex) const {
        while (k < s.size() && (s[k] == '_' || (hex ? IsHexDigit(s[k]) : IsDigit(s[k])))) ++k;
        return k;
    }

    // An exponent's letter with an optional sign and its digits, if one is there.
    std::size_t Exponent(std::size_t k, char lower) const {
        if ((At(k) | 0x20) != lower) return k;
        std::size_t d = k + 1;
        if (At(d) == '+' || At(d) == '-') ++d;
        return IsDigit(At(d)) ? Digits(d, false) : k;
    }

    // Decimal, octal, hexadecimal and binary integers, decimal and hexadecimal
    // floating point, underscores between digits, and the type suffixes.
    void Number() {
        const std::size_t start = i;
        std::size_t k = i;
        const char x = At(k + 1) | 0x20;
        if (s[k] == '0' && x == 'x') {
            k = Digits(k + 2, true);
            bool fraction = false;
            if (At(k) == '.') {
                k = Digits(k + 1, true);
                fraction = true;
            }
            const std::size_t e = Exponent(k, 'p');
            if (e != k) {
                k = e;
                if (std::string_view("fFdD").find(At(k)) != string_view::npos && At(k)) ++k;
            } else if (!fraction && (At(k) | 0x20) == 'l') {
                ++k;
            }
        } else if (s[k] == '0' && x == 'b') {
            k = Digits(k + 2, false);
            if ((At(k) | 0x20) == 'l') ++k;
        } else {
            k = Digits(k, false);
            bool floating = false;
            // "1." and "1.e5" are doubles, but "1.x" is no number with a fraction.
            if (At(k) == '.' && (!IsIdentStart(At(k + 1)) || Exponent(k + 1, 'e') != k + 1 ||
                                 (string_view("fFdD").find(At(k + 1)) != string_view::npos &&
                                  !IsIdentPart(At(k + 2))))) {
                k = Digits(k + 1, false);
                floating = true;
            }
            const std::size_t e = Exponent(k, 'e');
            floating = floating || e != k;
            k = e;
            const char suffix = At(k) | 0x20;
            if (suffix == 'f' || suffix == 'd' || (!floating && suffix == 'l')) ++k;
        }
        // Letters glued to a number make a malformed literal, still a number to the eye.
        while (k < s.size() && IsIdentPart(s[k])) ++k;
        Emit(start, k, TJavaToken::Number);
        i = k;
    }

    std::size_t WordEnd(std::size_t k) const {
        while (k < s.size() && IsIdentPart(s[k])) ++k;
        return k;
    }
    std::size_t SkipBlanks(std::size_t k) const {
        while (k < s.size() && IsBlank(s[k])) ++k;
        return k;
    }

    // The contextual words read as keywords only where they act as such: before
    // the name they declare or the type they name (var x, record Point,
    // sealed/non-sealed class, permits A) or, for yield, before a value.
    bool ActsAsKeyword(string_view word, std::size_t end) const {
        const std::size_t next = SkipBlanks(end);
        const char n = At(next);
        if (word == "var" || word == "record" || word == "sealed" || word == "permits")
            return next > end && IsIdentStart(n);
        if (word == "when") return caseLabel && (next > end || n == '(') && IsGuardStart(n);
        if (word == "yield") {
            if (n == '\0' || string_view("=.[);,:?").find(n) != string_view::npos) return false;
            // "yield(x)" calls a method; "yield (x)" and "yield x" give a value.
            return next > end || n == '"' || n == '\'' || n == '-' || n == '!' || n == '~';
        }
        return false;
    }

    // A dotted name from k, as a module or package is named: its end, or k.
    std::size_t NameEnd(std::size_t k) const {
        if (!IsIdentStart(At(k))) return k;
        std::size_t end = WordEnd(k);
        while (At(end) == '.' && IsIdentStart(At(end + 1))) end = WordEnd(end + 1);
        return end;
    }

    // A module's declaration ("open module a.b {") and its directives, each the
    // first word of its line, with the words that read as keywords after them:
    // requires transitive, exports and opens ... to, provides ... with.
    bool ModuleWord(string_view word, std::size_t start, std::size_t end) {
        const std::size_t next = SkipBlanks(end);
        if (next == end || !IsIdentStart(At(next))) return false;
        if (word == "module" && (lead == "open" || SkipBlanks(0) == start)) {
            const std::size_t after = SkipBlanks(NameEnd(next));
            return At(after) == '{' || At(after) == '\0' || (At(after) == '/' && (At(after + 1) == '/' || At(after + 1) == '*'));
        }
        if (SkipBlanks(0) == start) {
            if (word == "open" && s.substr(next, 6) == "module") {
                lead = word;
                if (ModuleWord("module", next, next + 6)) return true;
                lead = {};
            }
            for (string_view directive : {"requires", "exports", "opens", "uses", "provides"})
                if (word == directive) lead = word;
            return lead == word;
        }
        return (lead == "requires" && word == "transitive") ||
               ((lead == "exports" || lead == "opens") && word == "to") || (lead == "provides" && word == "with");
    }

    void Word() {
        const std::size_t start = i;
        std::size_t end = WordEnd(i);
        const string_view word = s.substr(start, end - start);
        if (IsReserved(word)) {
            caseLabel = caseLabel || word == "case";
            Emit(start, end, TJavaToken::Keyword);
        } else if (ModuleWord(word, start, end)) {
            Emit(start, end, TJavaToken::Keyword);
        } else if (word == "non" && At(end) == '-' && s.substr(end + 1, 6) == "sealed" && !IsIdentPart(At(end + 7)) &&
                   ActsAsKeyword("sealed", end + 7)) {
            end += 7;
            Emit(start, end, TJavaToken::Keyword);
        } else if (ActsAsKeyword(word, end)) {
            Emit(start, end, TJavaToken::Keyword);
        }
        i = end;
    }

    // @Name, @a.b.Name, and @interface, which declares an annotation type.
    void Annotation() {
        const std::size_t start = i;
        std::size_t k = SkipBlanks(i + 1);
        if (!IsIdentStart(At(k))) {
            ++i;
            return;
        }
        std::size_t end = WordEnd(k);
        if (s.substr(k, end - k) == "interface") {
            Emit(start, end, TJavaToken::Keyword);
            i = end;
            return;
        }
        while (At(end) == '.' && IsIdentStart(At(end + 1))) end = WordEnd(end + 1);
        Emit(start, end, TJavaToken::Annotation);
        i = end;
    }
};

}  // namespace

TLexState LexJavaLine(std::string_view line, TLexState state, std::vector<TJavaSpan>& spans) {
    return LineLexer(line, spans).Run(state);
}

std::size_t NextJavaLine(std::string_view text, std::size_t pos, std::size_t* lineEnd) {
    std::size_t k = std::min(pos, text.size());
    while (k < text.size() && text[k] != '\r' && text[k] != '\n') ++k;
    if (lineEnd) *lineEnd = k;
    if (k == text.size()) return k;
    if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') return k + 2;
    if (text[k] == '\r' && k + 2 < text.size() && text[k + 1] == '\r' && text[k + 2] == '\n') return k + 3;
    return k + 1;
}

void TJavaLineStates::Reset(int lineCount) {
    States.assign(static_cast<std::size_t>(std::max(lineCount, 1)), kUnknown);
    States[0] = static_cast<std::uint8_t>(TLexState::Code);
    Known = 1;
}

void TJavaLineStates::Replace(int first, int removed, int inserted) {
    const int count = LineCount();
    first = std::clamp(first, 0, count - 1);
    removed = std::clamp(removed, 1, count - first);
    inserted = std::max(inserted, 1);
    // Lexing stopped short at line Known: the state below it came from an older
    // pass, so the run of lines whose state holds must not go past it.
    if (first + 1 < Known) States[static_cast<std::size_t>(Known - 1)] |= kChanged;
    // The edited lines' own start states beyond the first are unknown; the state
    // of the line after them is kept, to tell when lexing again may stop.
    const auto at = States.begin() + first + 1;
    States.erase(at, at + (removed - 1));
    States.insert(States.begin() + first + 1, static_cast<std::size_t>(inserted - 1), kUnknown | kChanged);
    States[first] |= kChanged;
    Known = std::min(Known, first + 1);
}

void TJavaLineStates::Advance(std::string_view text) {
    if (Known >= LineCount()) return;
    std::vector<TJavaSpan> spans;
    const auto line = static_cast<std::size_t>(Known - 1);
    const auto end = static_cast<std::uint8_t>(LexJavaLine(text, StartOf(Known - 1), spans));
    States[line] &= kStateBits;
    const std::uint8_t before = States[line + 1];
    States[line + 1] = static_cast<std::uint8_t>(end | (before & kChanged));
    ++Known;
    if ((before & kStateBits) != end) return;
    // The same state as before: the lines below start as they did, up to the
    // next changed line or the next one never lexed.
    while (Known < LineCount() && !(States[Known - 1] & kChanged) && (States[Known] & kStateBits) != kUnknown)
        ++Known;
}
