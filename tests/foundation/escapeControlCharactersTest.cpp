#include "foundation/escapeControlCharacters.h"

#include <gtest/gtest.h>

namespace {

using lumo::escapeControlCharacters;

TEST(escapeControlCharactersTest, ControlCharactersAreShownNotObeyed)
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
        EXPECT_EQ(escapeControlCharacters(test.text, test.indent), test.shown) << test.text;
}

} // namespace
