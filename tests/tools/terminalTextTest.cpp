#include "tools/probe/terminalText.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

TEST(terminalTextTest, ControlCharactersAreShownNotObeyed)
{
    const struct {
        std::string text;
        std::string indent;
        std::string shown;
    } cases[] = {
        {"plain text, tabs\tand ünïcode", "", "plain text, tabs\tand ünïcode"},
        {"\x1b]0;owned\x07\x1b[2J\x1b[31mFAKE LINE\r\n", "",
         "\\x1B]0;owned\\x07\\x1B[2J\\x1B[31mFAKE LINE\\x0D\n"},
        {"first\nsecond\nthird", "  ", "first\n  second\n  third"},
        {std::string("nul\0del\x7f", 8), "", "nul\\x00del\\x7F"},
        // U+009B, the 8-bit control sequence introducer, and U+00A0, a printable space.
        {"\xc2\x9b" "2J \xc2\xa0", "", "\\u{009B}2J \xc2\xa0"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(escapeForTerminal(test.text, test.indent), test.shown) << test.text;
}

TEST(terminalTextTest, LongTextsAreCutAtLinesOrCharactersAndSaySo)
{
    const struct {
        std::string text;
        size_t maxBytes;
        size_t maxLines;
        std::string shown;
    } cases[] = {
        {"short", 100, 10, "short"},
        {"a\nb\nc\nd\n", 100, 2, "a\nb\n[4 more bytes left out; --verbose shows them]"},
        {std::string(10, 'x'), 4, 10, "xxxx\n[6 more bytes left out; --verbose shows them]"},
        // Never in the middle of a character.
        {"xxx\xc3\xbcyy", 4, 10, "xxx\n[4 more bytes left out; --verbose shows them]"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(cutForDisplay(test.text, test.maxBytes, test.maxLines), test.shown) << test.text;
}

} // namespace
} // namespace nebo::probe
