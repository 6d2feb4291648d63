#include "foundation/escapeControlCharacters.h"

#include <gtest/gtest.h>

namespace {

using lumo::escapeControlCharacters;

TEST(escapeControlCharactersTest, ControlCharactersAreShownNotObeyed)
{
    const struct {
        std::string text, indent, shown;
    } cases[] = {
        {"plain text, tabs\tand ünïcode", "", "plain text, tabs\tand ünïcode"},
        {"\x1b]0;owned\x07\x1b[2J\x1b[31mFAKE LINE\r\n", "", "\\x1B]0;owned\\x07\\x1B[2J\\x1B[31mFAKE LINE\\x0D\n"},
        {"first\nsecond\nthird", "  ", "first\n  second\n  third"},
        {std::string("nul\0del\x7f", 8), "", "nul\\x00del\\x7F"},
        // U+009B, the 8-bit control sequence introducer, and U+00A0, a printable space.
        {"\xc2\x9b" + std::string("2J \xc2\xa0"), "", "\\u{009B}2J \xc2\xa0"},
        // Characters of two, three and four bytes stay as they are.
        {"\xc3\xbcn\xc3\xaf \xe2\x82\xac \xf0\x9f\x98\x80", "", "\xc3\xbcn\xc3\xaf \xe2\x82\xac \xf0\x9f\x98\x80"},
        // Bytes of no UTF-8 character are shown one by one: Latin-1, a lone continuation, a character
        // cut off (at the end, before another), overlong, a surrogate, past U+10FFFF, bytes UTF-8 never uses.
        {"\xfcn\xef", "", "\\xFCn\\xEF"},
        {"a\x80" + std::string("b"), "", "a\\x80b"},
        {"end \xe2\x82", "", "end \\xE2\\x82"},
        {"\xc3" + std::string("a"), "", "\\xC3a"},
        {"\xc0\xaf", "", "\\xC0\\xAF"},
        {"\xed\xa0\x80", "", "\\xED\\xA0\\x80"},
        {"\xf4\x90\x80\x80", "", "\\xF4\\x90\\x80\\x80"},
        {"\xfe\xff", "", "\\xFE\\xFF"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(escapeControlCharacters(test.text, test.indent), test.shown) << test.text;
}

} // namespace
