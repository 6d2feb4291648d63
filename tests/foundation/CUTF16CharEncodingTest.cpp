#include "foundation/CUTF16CharEncoding.h"

#include "encodedCodePoints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

TEST(CUTF16CharEncodingTest, WritesOneUnitOrAPairButNoSurrogate)
{
    ICharEncoding& encoding = *getUTF16Encoding();
    EXPECT_EQ(encoded<char16_t>(encoding, 0xFFFF), std::u16string(1, 0xFFFF));
    EXPECT_EQ(encoded<char16_t>(encoding, 0x10000), (std::u16string{0xD800, 0xDC00}));
    EXPECT_EQ(encoded<char16_t>(encoding, 0x10FFFF), (std::u16string{0xDBFF, 0xDFFF}));
    for (uint32_t codePoint : {0xD800u, 0xDFFFu, 0x110000u}) {
        EXPECT_EQ(encoded<char16_t>(encoding, codePoint), u"");
        EXPECT_EQ(encoding.getEncodedLength(codePoint), 0);
    }
}

TEST(CUTF16CharEncodingTest, DecodesPairsBothWaysAndRejectsLoneSurrogates)
{
    ICharEncoding& encoding = *getUTF16Encoding();
    std::u16string text = {u'a', 0xD83D, 0xDE00, 0xDC00, u'b', 0xD800, u'c', 0xD800};
    const int32_t size = static_cast<int32_t>(text.size() * 2);
    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 2), 6);
    EXPECT_EQ(codePoint, 0x1F600u);
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 6), -1);  // lone low
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 10), -1); // high before 'c'
    EXPECT_EQ(encoding.decode(codePoint, text.data(), size, 14), -1); // high at the end
    EXPECT_EQ(encoding.countChars(text.data(), size, 0), 4);
    EXPECT_EQ(encoding.countChars(text.data(), 3, 0), 1) << "a cut-off unit is not counted";
    EXPECT_EQ(walkedBack(encoding, text.data(), 6), (std::vector<uint32_t>{0x1F600, 'a'}));

    std::u16string lone = {u'a', 0xDE00};
    EXPECT_EQ(encoding.decodePrevious(codePoint, lone.data(), 4, 4), -1);
    EXPECT_EQ(encoding.findPrevious(lone.data(), 4, 4), 0);
    EXPECT_EQ(encoding.findPrevious(text.data(), 7, 7), 2) << "from a cut-off unit";
}

} // namespace
} // namespace lumo
