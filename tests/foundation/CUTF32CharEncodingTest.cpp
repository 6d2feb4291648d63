#include "foundation/CUTF32CharEncoding.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CUTF32CharEncodingTest, OneUnitPerCodePoint)
{
    char32_t buffer[2] = {};
    ICharEncoding& encoding = *getUTF32Encoding();
    EXPECT_EQ(encoding.encode(0x1F600, buffer, sizeof buffer, 0), 4);
    EXPECT_EQ(encoding.encode(0xD800, buffer, sizeof buffer, 4), 8);
    EXPECT_EQ(buffer[0], 0x1F600u);
    EXPECT_EQ(buffer[1], 0xD800u);

    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decode(codePoint, buffer, sizeof buffer, 4), 8);
    EXPECT_EQ(codePoint, 0xD800u);
    EXPECT_EQ(encoding.getTerminatedLength(U"abc"), 12);
}

} // namespace
} // namespace lumo
