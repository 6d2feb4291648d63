#include "foundation/CLatin1CharEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

TEST(CLatin1CharEncodingTest, EachByteIsItsOwnCodePoint)
{
    const unsigned char bytes[] = {0x41, 0xE9, 0xFF, 0x80};
    uint32_t codePoint = 0;
    EXPECT_EQ(getLatin1Encoding()->countChars(bytes, 4, 0), 4);
    EXPECT_EQ(getLatin1Encoding()->decode(codePoint, bytes, 4, 1), 2);
    EXPECT_EQ(codePoint, 0xE9u);
    EXPECT_EQ(getLatin1Encoding()->decodePrevious(codePoint, bytes, 4, 4), 3);
    EXPECT_EQ(codePoint, 0x80u);
}

TEST(CLatin1CharEncodingTest, WritesAQuestionMarkFromCodePoint256On)
{
    char buffer[3] = {};
    ICharEncoding& encoding = *getLatin1Encoding();
    int32_t end = encoding.encode(0xFF, buffer, 3, 0);
    end = encoding.encode(0x100, buffer, 3, end);
    end = encoding.encode(0x20AC, buffer, 3, end);
    EXPECT_EQ(std::string(buffer, end), "\xFF??");
    EXPECT_EQ(encoding.getEncodedLength(0x1F600), 1);
}

} // namespace
} // namespace lumo
