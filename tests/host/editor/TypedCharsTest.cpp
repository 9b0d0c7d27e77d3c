// Characters that come in two messages, put together.
#include "TypedChars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What a fresh TTypedChars makes of the pieces, one at a time: take(chars, piece, out).
template <class Out, class Pieces, class Take>
std::vector<Out> TypeAll(const Pieces& pieces, Take take) {
    TTypedChars chars;
    std::vector<Out> typed;
    for (auto piece : pieces) {
        Out out;
        if (take(chars, piece, out)) typed.push_back(out);
    }
    return typed;
}

TEST(TypedChars, HalvesOfACharacterBeyondTheBasicPlane) {
    const struct {
        const char* name;
        std::u16string units;
        std::vector<std::u16string> typed;
    } cases[] = {
        {"plain characters", u"ab", {u"a", u"b"}},
        {"a pair is one character", u"\xD83D\xDE00", {u"\xD83D\xDE00"}},
        {"a second half alone types nothing", u"\xDE00x", {u"x"}},
        {"a first half before a plain character is dropped", u"\xD83Dx\xDE00", {u"x"}},
        {"the later of two first halves pairs", u"\xD83D\xD83E\xDD14", {u"\xD83E\xDD14"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto unit = [](TTypedChars& chars, char16_t u, std::u16string& text) { return chars.Unit(u, text); };
        EXPECT_EQ(TypeAll<std::u16string>(c.units, unit), c.typed);
    }
}

TEST(TypedChars, BytesOfADoubleByteCodePage) {
    auto isLead = [](char b) { return b == '\x81'; };
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> typed;
    } cases[] = {
        {"single bytes", "ab", {"a", "b"}},
        {"a lead byte and its trail", "\x81@a", {"\x81@", "a"}},
        {"a trail byte that looks like a lead", "\x81\x81\x81@", {"\x81\x81", "\x81@"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto byte = [&](TTypedChars& chars, char b, std::string& bytes) { return chars.Byte(b, isLead, bytes); };
        EXPECT_EQ(TypeAll<std::string>(c.bytes, byte), c.typed);
    }
}

TEST(TypedChars, ANewTextDropsWhatWaits) {
    TTypedChars chars;
    std::u16string text;
    std::string bytes;
    EXPECT_FALSE(chars.Unit(u'\xD83D', text));
    EXPECT_FALSE(chars.Byte('\x81', [](char b) { return b == '\x81'; }, bytes));
    chars.Clear();
    EXPECT_FALSE(chars.Unit(u'\xDE00', text));
    ASSERT_TRUE(chars.Byte('@', [](char) { return false; }, bytes));
    EXPECT_EQ(bytes, "@");
}

}  // namespace
