#include "foundation/CUTF16CharEncoding.h"
#include "foundation/CUTF8CharEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

// "a", a stray continuation byte, "é", a cut-off lead, "€".
const std::string mixed = "a\x80\xC3\xA9\xE2\xE2\x82\xAC";
const int32_t mixedSize = static_cast<int32_t>(mixed.size());

TEST(TCharEncodingTest, ScanningSkippingAndWalkingBackStepOverInvalidBytes)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    EXPECT_EQ(encoding.findValid(mixed.data(), mixedSize, 4), 5);
    EXPECT_EQ(encoding.findValid("\x80\x80", 2, 0), -1);
    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decodeSkipping(codePoint, mixed.data(), mixedSize, 4), 8);
    EXPECT_EQ(codePoint, 0x20ACu);
    EXPECT_EQ(encoding.decodeSkipping(codePoint, mixed.data(), mixedSize, 8), -1);
    EXPECT_EQ(encoding.countChars(mixed.data(), mixedSize, -5), 3);
    EXPECT_EQ(encoding.skipChars(mixed.data(), mixedSize, 0, 9), mixedSize);
    std::vector<int32_t> starts;
    for (int32_t start = mixedSize; (start = encoding.findPrevious(mixed.data(), mixedSize, start)) >= 0;)
        starts.push_back(start);
    EXPECT_EQ(starts, (std::vector<int32_t>{5, 2, 0}));
}

TEST(TCharEncodingTest, DecodesManyWithTheirStartsAndEncodesManyDroppingWhatCannotBeWritten)
{
    uint32_t codePoints[8];
    int32_t starts[8];
    int32_t position = 0;
    ICharEncoding& encoding = *getUTF8Encoding();
    EXPECT_EQ(encoding.decodeMany(codePoints, 2, mixed.data(), mixedSize, position, starts), 2);
    EXPECT_EQ(position, 4);
    EXPECT_EQ((std::vector<uint32_t>(codePoints, codePoints + 2)), (std::vector<uint32_t>{'a', 0xE9}));
    EXPECT_EQ((std::vector<int32_t>(starts, starts + 2)), (std::vector<int32_t>{0, 2}));

    EXPECT_EQ(encoding.decodeMany(codePoints, 8, mixed.data(), mixedSize, position, starts), 1);
    EXPECT_EQ(starts[0], 5);
    EXPECT_EQ(position, mixedSize);

    // What cannot be written is dropped; what does not fit stops the writing.
    const uint32_t toWrite[] = {'a', 0xD800, 0x1F600, 'b'};
    char16_t buffer[4] = {};
    int32_t ends[4] = {-1, -1, -1, -1};
    position = 0;
    EXPECT_EQ(getUTF16Encoding()->encodeMany(toWrite, 4, buffer, 7, position, ends), 3);
    EXPECT_EQ(position, 6);
    EXPECT_EQ((std::vector<int32_t>(ends, ends + 4)), (std::vector<int32_t>{2, 2, 6, -1}));
    EXPECT_EQ(std::u16string(buffer, 3), (std::u16string{u'a', 0xD83D, 0xDE00}));
}

TEST(TCharEncodingTest, MeasuresUpToTheFirstZeroUnit)
{
    EXPECT_EQ(getUTF8Encoding()->getTerminatedLength("h\xC3\xA9"), 3);
    EXPECT_EQ(getUTF8Encoding()->getTerminatedLength(nullptr), 0);
    const char16_t text[] = {0x0100, 0x0041, 0}; // zero bytes inside units
    EXPECT_EQ(getUTF16Encoding()->getTerminatedLength(text), 4);
}

} // namespace
} // namespace lumo
