#include "foundation/CUTF32CharEncoding.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(TFixedWidthCharEncodingTest, ReadsAndWalksBackOverWholeUnitsOnly)
{
    // Nine bytes: two whole units and one byte of a cut-off third.
    const char32_t units[3] = {U'a', 0x1F600, U'c'};
    const int32_t size = 9;
    ICharEncoding& encoding = *getUTF32Encoding();
    EXPECT_EQ(encoding.countChars(units, size, 0), 2);
    EXPECT_EQ(encoding.countChars(units, size, 20), 0);
    EXPECT_EQ(encoding.skipChars(units, size, 0, 2), 8);
    EXPECT_EQ(encoding.skipChars(units, size, 0, 3), size);
    EXPECT_EQ(encoding.skipChars(units, size, -4, 1), 4);
    uint32_t codePoint;
    EXPECT_EQ(encoding.decode(codePoint, units, size, 8), -1);
    EXPECT_EQ(encoding.decode(codePoint, units, size, 4), 8);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(encoding.decodePrevious(codePoint, units, size, size), -1);
    EXPECT_EQ(encoding.findPrevious(units, size, size), 4);
    EXPECT_EQ(encoding.decodePrevious(codePoint, units, size, 4), 0);
    EXPECT_EQ(codePoint, U'a');
    EXPECT_EQ(encoding.findPrevious(units, size, 0), -1);
}

} // namespace
} // namespace lumo
