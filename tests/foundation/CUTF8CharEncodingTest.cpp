#include "foundation/CUTF8CharEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

std::string encoded(uint32_t codePoint)
{
    char buffer[8] = {};
    int32_t end = getUTF8Encoding()->encode(codePoint, buffer, sizeof buffer, 0);
    return std::string(buffer, end);
}

// The code point and the position after it, or -1 and nothing.
std::pair<int32_t, uint32_t> decoded(const std::string& bytes)
{
    uint32_t codePoint = 0xFFFFFFFF;
    int32_t next = getUTF8Encoding()->decode(codePoint, bytes.data(), static_cast<int32_t>(bytes.size()), 0);
    return {next, codePoint};
}

TEST(CUTF8CharEncodingTest, EncodesEachLengthAtItsBoundaries)
{
    EXPECT_EQ(encoded(0x41), "A");
    EXPECT_EQ(encoded(0x7F), "\x7F");
    EXPECT_EQ(encoded(0x80), "\xC2\x80");
    EXPECT_EQ(encoded(0x7FF), "\xDF\xBF");
    EXPECT_EQ(encoded(0x800), "\xE0\xA0\x80");
    EXPECT_EQ(encoded(0xFFFF), "\xEF\xBF\xBF");
    EXPECT_EQ(encoded(0x10000), "\xF0\x90\x80\x80");
    EXPECT_EQ(encoded(0x1F600), "\xF0\x9F\x98\x80");
    EXPECT_EQ(encoded(0x10FFFF), "\xF4\x8F\xBF\xBF");
}

TEST(CUTF8CharEncodingTest, WritesSurrogatesButNothingFromTheEndOfUnicodeOn)
{
    EXPECT_EQ(encoded(0xD800), "\xED\xA0\x80");
    EXPECT_EQ(decoded("\xED\xA0\x80"), std::make_pair(3, 0xD800u));

    char buffer[8] = {};
    EXPECT_EQ(getUTF8Encoding()->encode(0x110000, buffer, sizeof buffer, 2), 2);
    EXPECT_EQ(getUTF8Encoding()->getEncodedLength(0x110000), 0);
    EXPECT_EQ(buffer[2], 0);
}

TEST(CUTF8CharEncodingTest, LeavesTheBufferAloneWhenACharacterDoesNotFit)
{
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(getUTF8Encoding()->encode(0x800, buffer, 3, 1), 1);
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
    EXPECT_EQ(getUTF8Encoding()->encode(0x800, buffer, 4, 1), 4);
}

TEST(CUTF8CharEncodingTest, DecodesEveryLength)
{
    EXPECT_EQ(decoded("A"), std::make_pair(1, 0x41u));
    EXPECT_EQ(decoded("\xC3\xA9"), std::make_pair(2, 0xE9u));
    EXPECT_EQ(decoded("\xE0\xA0\x80"), std::make_pair(3, 0x800u));
    EXPECT_EQ(decoded("\xF0\x9F\x98\x80"), std::make_pair(4, 0x1F600u));
    for (uint32_t codePoint : {0x7Fu, 0x80u, 0x7FFu, 0xFFFFu, 0x10000u, 0x10FFFFu})
        EXPECT_EQ(decoded(encoded(codePoint)).second, codePoint);
}

TEST(CUTF8CharEncodingTest, RejectsOverlongOversizedAndBrokenSequences)
{
    const char* invalid[] = {
        "\xC0\x80",         "\xC1\x80",         // overlong two bytes
        "\xE0\x80\x80",     "\xE0\x9F\xBF",     // overlong three bytes
        "\xF0\x8F\xBF\xBF",                     // overlong four bytes
        "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF", // 0x110000 and above
        "\xF8\x88\x80\x80\x80", "\xFF",         // no such lead byte
        "\x80",             "\xBF",             // continuation in lead position
        "\xC3\x41",         "\xE0\xA0\x41",     // wrong continuation
        "\xC3",             "\xF0\x9F\x98",     // cut off by the buffer's end
    };
    for (const char* bytes : invalid) {
        EXPECT_EQ(decoded(bytes).first, -1) << bytes;
        EXPECT_EQ(getUTF8Encoding()->getCharLength(bytes, static_cast<int32_t>(std::string(bytes).size()), 0), -1);
    }
}

TEST(CUTF8CharEncodingTest, CountingSkipsInvalidBytesOneAtATime)
{
    std::string bytes = "a\x80"
                        "b\xE0\xA0"
                        "c\xC3\xA9";
    EXPECT_EQ(getUTF8Encoding()->countChars(bytes.data(), static_cast<int32_t>(bytes.size()), 0), 4);
    // The lead of a cut-off sequence is skipped alone; what follows is read.
    std::string cut = "\xE0\x41";
    EXPECT_EQ(getUTF8Encoding()->countChars(cut.data(), 2, 0), 1);
}

TEST(CUTF8CharEncodingTest, WalksBackwardsOverEveryLength)
{
    std::string bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    std::vector<uint32_t> backwards;
    uint32_t codePoint;
    for (int32_t end = static_cast<int32_t>(bytes.size()); end > 0;) {
        end = getUTF8Encoding()->decodePrevious(codePoint, bytes.data(), static_cast<int32_t>(bytes.size()), end);
        ASSERT_GE(end, 0);
        backwards.push_back(codePoint);
    }
    EXPECT_EQ(backwards, (std::vector<uint32_t>{0x1F600, 0x20AC, 0xE9, 'a'}));
}

TEST(CUTF8CharEncodingTest, BackwardsAnEndInsideACharacterIsInvalid)
{
    std::string bytes = "\xC3\xA9\xA9";
    uint32_t codePoint;
    EXPECT_EQ(getUTF8Encoding()->decodePrevious(codePoint, bytes.data(), 3, 3), -1);
    EXPECT_EQ(getUTF8Encoding()->decodePrevious(codePoint, bytes.data(), 3, 1), -1);
    EXPECT_EQ(getUTF8Encoding()->findPrevious(bytes.data(), 3, 3), 0);
    // Four continuation bytes are more than any character has.
    std::string tail = "\xF0\x9F\x98\x80\x80";
    EXPECT_EQ(getUTF8Encoding()->decodePrevious(codePoint, tail.data(), 5, 5), -1);
}

} // namespace
} // namespace lumo
