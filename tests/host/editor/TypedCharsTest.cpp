// Characters that come in two messages, put together.
#include "TypedChars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

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
        TTypedChars chars;
        std::vector<std::u16string> typed;
        for (char16_t unit : c.units) {
            std::u16string text;
            if (chars.Unit(unit, text)) typed.push_back(text);
        }
        EXPECT_EQ(typed, c.typed);
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
        TTypedChars chars;
        std::vector<std::string> typed;
        for (char b : c.bytes) {
            std::string bytes;
            if (chars.Byte(b, isLead, bytes)) typed.push_back(bytes);
        }
        EXPECT_EQ(typed, c.typed);
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
