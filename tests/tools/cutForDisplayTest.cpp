#include "tools/probe/cutForDisplay.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

TEST(cutForDisplayTest, LongTextsAreCutAtLinesOrCharactersAndSaySo)
{
    // clang-format off
    const struct { std::string text; size_t maxBytes, maxLines; std::string shown; } cases[] = {
        {"short", 100, 10, "short"},
        {"a\nb\nc\nd\n", 100, 2, "a\nb\n[4 more bytes left out; --verbose shows them]"},
        {std::string(10, 'x'), 4, 10, "xxxx\n[6 more bytes left out; --verbose shows them]"},
        // Never in the middle of a character.
        {"xxx\xc3\xbcyy", 4, 10, "xxx\n[4 more bytes left out; --verbose shows them]"},
    };
    // clang-format on
    for (const auto& test : cases)
        EXPECT_EQ(cutForDisplay(test.text, test.maxBytes, test.maxLines), test.shown) << test.text;
}

} // namespace
} // namespace nebo::probe
