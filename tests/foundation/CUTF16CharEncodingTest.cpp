#include "foundation/CUTF16CharEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

int32_t bytesOf(const std::u16string& units)
{
    return static_cast<int32_t>(units.size() * 2);
}

std::u16string encoded(uint32_t codePoint)
{
    char16_t buffer[4] = {};
    int32_t end = getUTF16Encoding()->encode(codePoint, buffer, sizeof buffer, 0);
    return std::u16string(buffer, end / 2);
}

TEST(CUTF16CharEncodingTest, WritesOneUnitOrASurrogatePair)
{
    EXPECT_EQ(encoded(0x41), u"A");
    EXPECT_EQ(encoded(0xFFFF), std::u16string(1, 0xFFFF));
    EXPECT_EQ(encoded(0x10000), (std::u16string{0xD800, 0xDC00}));
    EXPECT_EQ(encoded(0x1F600), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(encoded(0x10FFFF), (std::u16string{0xDBFF, 0xDFFF}));
}

TEST(CUTF16CharEncodingTest, CannotWriteSurrogatesOrBeyondUnicode)
{
    char16_t buffer[2] = {};
    for (uint32_t codePoint : {0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0x110000u}) {
        EXPECT_EQ(getUTF16Encoding()->encode(codePoint, buffer, sizeof buffer, 0), 0);
        EXPECT_EQ(getUTF16Encoding()->getEncodedLength(codePoint), 0);
    }
    EXPECT_EQ(buffer[0], 0);
}

TEST(CUTF16CharEncodingTest, DecodesPairsAndRejectsLoneSurrogates)
{
    std::u16string text = {u'a', 0xD83D, 0xDE00, 0xDC00, u'b', 0xD800, u'c', 0xD800};
    uint32_t codePoint = 0;
    const int32_t size = bytesOf(text);
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 2), 6);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 6), -1);  // lone low
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 10), -1); // high before 'c'
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 14), -1); // high at the end
    EXPECT_EQ(getUTF16Encoding()->countChars(text.data(), size, 0), 4);
}

TEST(CUTF16CharEncodingTest, WalksBackwardsOverPairs)
{
    std::u16string text = {u'a', 0xD83D, 0xDE00, u'b'};
    std::vector<uint32_t> backwards;
    uint32_t codePoint;
    for (int32_t end = bytesOf(text); end > 0;) {
        end = getUTF16Encoding()->decodePrevious(codePoint, text.data(), bytesOf(text), end);
        ASSERT_GE(end, 0);
        backwards.push_back(codePoint);
    }
    EXPECT_EQ(backwards, (std::vector<uint32_t>{'b', 0x1F600, 'a'}));

    std::u16string lone = {u'a', 0xDE00};
    EXPECT_EQ(getUTF16Encoding()->decodePrevious(codePoint, lone.data(), 4, 4), -1);
    EXPECT_EQ(getUTF16Encoding()->findPrevious(lone.data(), 4, 4), 0);
}

TEST(CUTF16CharEncodingTest, ACutOffUnitIsNeitherCountedNorWalkedInto)
{
    std::u16string text = u"ab";
    EXPECT_EQ(getUTF16Encoding()->countChars(text.data(), 3, 0), 1);
    EXPECT_EQ(getUTF16Encoding()->findPrevious(text.data(), 3, 3), 0);
    EXPECT_EQ(getUTF16Encoding()->getTerminatedLength(u"abc"), 6);
}

} // namespace
} // namespace lumo
