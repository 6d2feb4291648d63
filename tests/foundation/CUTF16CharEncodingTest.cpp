#include "foundation/CUTF16CharEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

std::u16string encoded(uint32_t codePoint)
{
    char16_t buffer[2] = {};
    return std::u16string(buffer, getUTF16Encoding()->encode(codePoint, buffer, sizeof buffer, 0) / 2);
}

TEST(CUTF16CharEncodingTest, WritesOneUnitOrAPairButNoSurrogate)
{
    EXPECT_EQ(encoded(0xFFFF), std::u16string(1, 0xFFFF));
    EXPECT_EQ(encoded(0x10000), (std::u16string{0xD800, 0xDC00}));
    EXPECT_EQ(encoded(0x10FFFF), (std::u16string{0xDBFF, 0xDFFF}));
    for (uint32_t codePoint : {0xD800u, 0xDFFFu, 0x110000u}) {
        EXPECT_EQ(encoded(codePoint), u"");
        EXPECT_EQ(getUTF16Encoding()->getEncodedLength(codePoint), 0);
    }
}

TEST(CUTF16CharEncodingTest, DecodesPairsBothWaysAndRejectsLoneSurrogates)
{
    std::u16string text = {u'a', 0xD83D, 0xDE00, 0xDC00, u'b', 0xD800, u'c', 0xD800};
    const int32_t size = static_cast<int32_t>(text.size() * 2);
    uint32_t codePoint = 0;
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 2), 6);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 6), -1);  // lone low
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 10), -1); // high before 'c'
    EXPECT_EQ(getUTF16Encoding()->decode(codePoint, text.data(), size, 14), -1); // high at the end
    EXPECT_EQ(getUTF16Encoding()->countChars(text.data(), size, 0), 4);
    EXPECT_EQ(getUTF16Encoding()->countChars(text.data(), 3, 0), 1) << "a cut-off unit is not counted";

    std::vector<uint32_t> backwards;
    for (int32_t end = 6; end > 0; backwards.push_back(codePoint)) {
        end = getUTF16Encoding()->decodePrevious(codePoint, text.data(), 6, end);
        ASSERT_GE(end, 0);
    }
    EXPECT_EQ(backwards, (std::vector<uint32_t>{0x1F600, 'a'}));

    std::u16string lone = {u'a', 0xDE00};
    EXPECT_EQ(getUTF16Encoding()->decodePrevious(codePoint, lone.data(), 4, 4), -1);
    EXPECT_EQ(getUTF16Encoding()->findPrevious(lone.data(), 4, 4), 0);
    EXPECT_EQ(getUTF16Encoding()->findPrevious(text.data(), 7, 7), 2) << "from a cut-off unit";
}

} // namespace
} // namespace lumo
