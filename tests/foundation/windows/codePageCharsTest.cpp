#include "foundation/codePageChars.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo {
namespace {

// The ANSI code page differs from machine to machine, so each character is
// checked against itself: its bytes decode back to it, and no shorter prefix does.
TEST(codePageCharsTest, EveryEncodableCharacterDecodesBackFromExactlyItsBytes)
{
    ASSERT_GE(getMaxCodePageCharLength(), 1);
    ASSERT_LE(getMaxCodePageCharLength(), maxCodePageCharBytes);
    int encoded = 0;
    for (uint32_t codePoint : {0x41u, 0x7Eu, 0xE9u, 0xFFu, 0x20ACu, 0x3042u, 0x4E2Du, 0xFFFDu}) {
        unsigned char bytes[maxCodePageCharBytes] = {};
        const int32_t length = encodeCodePageChar(codePoint, bytes);
        ASSERT_LE(length, getMaxCodePageCharLength()) << codePoint;
        if (length == 0)
            continue;
        ++encoded;
        uint32_t decoded = 0;
        EXPECT_EQ(length, decodeCodePageChar(decoded, bytes, maxCodePageCharBytes)) << codePoint;
        EXPECT_EQ(codePoint, decoded);
        if (length > 1) {
            EXPECT_EQ(-1, decodeCodePageChar(decoded, bytes, length - 1)) << codePoint;
        }
    }
    EXPECT_GE(encoded, 2) << "every code page has ASCII";
}

TEST(codePageCharsTest, ZeroIsACharacterAndLoneSurrogatesAreNot)
{
    uint32_t codePoint = 1;
    const unsigned char zero[] = {0, 'a'};
    EXPECT_EQ(1, decodeCodePageChar(codePoint, zero, 2));
    EXPECT_EQ(0u, codePoint);
    unsigned char bytes[maxCodePageCharBytes] = {};
    for (uint32_t surrogate : {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu})
        EXPECT_EQ(0, encodeCodePageChar(surrogate, bytes)) << surrogate;
}

TEST(codePageCharsTest, ACharacterTheCodePageLacksIsNotEncoded)
{
    // Greek capital omega is missing from the Western code page (1252), where
    // a best-fit stand-in must not be taken for it, and present in UTF-8.
    unsigned char bytes[maxCodePageCharBytes] = {};
    const int32_t length = encodeCodePageChar(0x3A9, bytes);
    if (GetACP() == 1252)
        EXPECT_EQ(0, length) << "no best-fit stand-in";
    else if (GetACP() == CP_UTF8)
        EXPECT_EQ(2, length);
    else
        GTEST_SKIP() << "code page " << GetACP();
}

} // namespace
} // namespace lumo
