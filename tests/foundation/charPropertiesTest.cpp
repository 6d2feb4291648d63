#include "foundation/charProperties.h"

#include <gtest/gtest.h>

#include <utility>

namespace lumo {
namespace {

// A caseless or uncovered code point is its own capital and small letter.
TEST(charPropertiesTest, MapsCapitalsAndSmallLettersOfEachCoveredScriptAndLeavesOthersAlone)
{
    const std::pair<uint32_t, uint32_t> pairs[] = {
        {'Z', 'z'},       {0x00DE, 0x00FE}, {0x0178, 0x00FF},   {0x0139, 0x013A}, // Latin
        {0x0391, 0x03B1}, {0x0386, 0x03AC}, {0x038F, 0x03CE},   {0x03E2, 0x03E3}, // Greek, Coptic
        {0x0401, 0x0451}, {0x042F, 0x044F}, {0x0460, 0x0461},   {0x04C0, 0x04CF}, // Cyrillic
        {0x04C1, 0x04C2}, {0x0500, 0x0501}, {0x0531, 0x0561},                     // and Armenian
        {'1', '1'},       {'@', '@'},       {0x00D7, 0x00D7},   {0x00F7, 0x00F7},         {0x00DF, 0x00DF},
        {0x0138, 0x0138}, {0x1E00, 0x1E00}, {0x1F600, 0x1F600}, {0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (auto [capital, small] : pairs) {
        EXPECT_EQ(lowerCaseOf(capital), small) << std::hex << capital;
        EXPECT_EQ(upperCaseOf(small), capital) << std::hex << small;
        EXPECT_EQ(lowerCaseOf(small), small);
        EXPECT_EQ(upperCaseOf(capital), capital);
    }
}

TEST(charPropertiesTest, FoldingJoinsTheVariantsOfALetter)
{
    EXPECT_EQ(foldedCaseOf(0x03C2), 0x03C3u); // final sigma
    EXPECT_EQ(foldedCaseOf(0x017F), uint32_t('s'));
    EXPECT_EQ(foldedCaseOf(0x00B5), 0x03BCu); // micro sign and mu
    EXPECT_EQ(foldedCaseOf(0x0130), uint32_t('i'));
    // Both cases of every code point fold alike.
    for (uint32_t c = 0; c < 0x0600; ++c) {
        EXPECT_EQ(foldedCaseOf(upperCaseOf(c)), foldedCaseOf(c)) << std::hex << c;
        EXPECT_EQ(foldedCaseOf(lowerCaseOf(c)), foldedCaseOf(c)) << std::hex << c;
    }
}

} // namespace
} // namespace lumo
