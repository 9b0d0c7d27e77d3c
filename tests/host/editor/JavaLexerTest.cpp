// The Java lexer behind the editor's colours: one character class per column
// (. plain, k keyword, s string, c comment, n number, a annotation).
#include "JavaLexer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Classes(const std::string& line, TLexState& state) {
    std::vector<TJavaSpan> spans;
    state = LexJavaLine(line, state, spans);
    std::string out(line.size(), '.');
    for (const auto& span : spans) out.replace(span.Start, span.Length, span.Length, "?kscna"[int(span.Kind)]);
    return out;
}

using S = TLexState;

TEST(JavaLexer, TrickyLines) {
    const struct {
        S start;
        std::string line, classes;
        S end;
    } cases[] = {
        {S::Code, "public static int x;", "kkkkkk.kkkkkk.kkk...", S::Code},
        {S::Code, "int interface1 = null;", "kkk..............kkkk.", S::Code},
        {S::Code, "var v = new Var();", "kkk.....kkk.......", S::Code},
        {S::Code, "String var; var = 1;", "..................n.", S::Code},
        {S::Code, "record Point(int x) {}", "kkkkkk.......kkk......", S::Code},
        {S::Code, "sealed interface A permits B {}", "kkkkkk.kkkkkkkkk...kkkkkkk.....", S::Code},
        {S::Code, "non-sealed class C", "kkkkkkkkkk.kkkkk..", S::Code},
        {S::Code, "int non-sealed;", "kkk............", S::Code},
        {S::Code, "yield x; yield(x); yield = 2;", "kkkkk......................n.", S::Code},
        {S::Code, "case Circle c when c.r() > 0 -> when(c);", "kkkk..........kkkk.........n............", S::Code},
        {S::Code, "case A a when(ok): boolean when = !when;", "kkkk.....kkkk......kkkkkkk..............", S::Code},
        {S::Code, "open module a.b { // app", "kkkk.kkkkkk.......cccccc", S::Code},
        {S::Code, "  requires transitive java.sql;", "..kkkkkkkk.kkkkkkkkkk..........", S::Code},
        {S::Code, "exports p.q to m; provides S with T;", "kkkkkkk.....kk......................", S::Code},
        {S::Code, "module = 1; to(x); requires;", ".........n..................", S::Code},
        {S::Code, "0x1F 0b1010_1010L 0777 1_000_000L", "nnnn.nnnnnnnnnnnn.nnnn.nnnnnnnnnn", S::Code},
        {S::Code, "1e+5 .5f 1.5e-3d 1. 1.e2 1.f", "nnnn.nnn.nnnnnnn.nn.nnnn.nnn", S::Code},
        {S::Code, "0x1.8p-3 0x1P4f 0xE-5 1f-2", "nnnnnnnn.nnnnnn.nnn.n.nn.n", S::Code},
        {S::Code, "a[0].length + x1 + 2L", "..n................nn", S::Code},
        {S::Code, "s = \"a\\\"/*\" + 'x' + '\\''", "....sssssss...sss...ssss", S::Code},
        {S::Code, "s = \"open", "....sssss", S::Code},
        {S::Code, "@Override @java.lang.Deprecated(since=\"9\") @interface A",
         "aaaaaaaaa.aaaaaaaaaaaaaaaaaaaaa.......sss..kkkkkkkkkk..", S::Code},
        {S::Code, "x = 1; // int \"y\"", "....n..cccccccccc", S::Code},
        {S::Code, "a /* b */ int /** c", "..ccccccc.kkk.ccccc", S::DocComment},
        {S::Code, "/**/ int /*/ x", "cccc.kkk.ccccc", S::BlockComment},
        {S::BlockComment, "still */ int", "cccccccc.kkk", S::Code},
        {S::DocComment, " * @param x", "ccccccccccc", S::DocComment},
        {S::Code, "String t = \"\"\"", "...........sss", S::TextBlock},
        {S::TextBlock, "  a \\\"\"\" \" int", "ssssssssssssss", S::TextBlock},
        {S::TextBlock, "  b\"\"\"; int c;", "ssssss..kkk...", S::Code},
        {S::Code, "\"\"\"\"", "ssss", S::TextBlock},
        {S::Code, "caf\xC3\xA9 = 1;", "........n.", S::Code},
        {S::Code, "_ = 1; $x_1 = 2;", "k...n.........n.", S::Code},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TLexState state = c.start;
        EXPECT_EQ(Classes(c.line, state), c.classes);
        EXPECT_EQ(state, c.end);
    }
}

TEST(JavaLexer, LinesBreakAsTheControlBreaksThem) {
    const std::string text = "a\r\nb\nc\rd\r\r\ne";
    std::vector<std::string> lines;
    for (std::size_t pos = 0, end = 0; pos <= text.size();) {
        const std::size_t next = NextJavaLine(text, pos, &end);
        lines.push_back(text.substr(pos, end - pos));
        if (next == text.size() && end == next) break;
        pos = next;
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
}

}  // namespace
