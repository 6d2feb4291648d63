#include "foundation/equalsIgnoringASCIICase.h"

#include <gtest/gtest.h>

namespace {

using lumo::equalsIgnoringASCIICase;

TEST(equalsIgnoringASCIICaseTest, OnlyASCIILettersFold)
{
    const struct {
        std::u16string a, b;
        bool bEqual;
    } cases[] = {
        {u"mp4", u"MP4", true},
        {u"Wav", u"wAV", true},
        {u"", u"", true},
        {u"mp4", u"mp", false},
        {u"mp", u"mp4", false},
        {u"avi", u"avj", false},
        // The neighbours of the letters in the code table stay apart: "@[`{".
        {u"@[", u"`{", false},
        // Other scripts and signs that fold to ASCII in full Unicode do not.
        {u"\u00e4", u"\u00c4", false},
        {u"k", u"\u212a", false},
        {u"s", u"\u017f", false},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(equalsIgnoringASCIICase(test.a, test.b), test.bEqual);
        EXPECT_EQ(equalsIgnoringASCIICase(test.b, test.a), test.bEqual);
    }
    EXPECT_TRUE(equalsIgnoringASCIICase(std::string_view(".DEMO"), std::string_view(".demo")));
    EXPECT_FALSE(equalsIgnoringASCIICase(std::string_view("\xc3\xa4"), std::string_view("\xc3\x84")));
}

} // namespace
