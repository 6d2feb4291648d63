#include "foundation/CUTF8CharEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

std::string encoded(uint32_t codePoint)
{
    char buffer[8] = {};
    return std::string(buffer, getUTF8Encoding()->encode(codePoint, buffer, sizeof buffer, 0));
}

// The position after the character, or -1; and the code point.
std::pair<int32_t, uint32_t> decoded(const std::string& bytes)
{
    uint32_t codePoint = 0xFFFFFFFF;
    int32_t next = getUTF8Encoding()->decode(codePoint, bytes.data(), static_cast<int32_t>(bytes.size()), 0);
    return {next, codePoint};
}

TEST(CUTF8CharEncodingTest, EncodesEachLengthAndSurrogatesButNothingBeyondUnicode)
{
    const std::pair<uint32_t, const char*> cases[] = {
        {0x7F, "\x7F"},         {0x80, "\xC2\x80"},         {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"}, {0xD800, "\xED\xA0\x80"}, {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"}, {0x110000, ""},
    };
    for (const auto& [codePoint, bytes] : cases)
        EXPECT_EQ(encoded(codePoint), bytes) << std::hex << codePoint;
    EXPECT_EQ(getUTF8Encoding()->getEncodedLength(0x110000), 0);

    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(getUTF8Encoding()->encode(0x110000, buffer, 4, 2), 2);
    EXPECT_EQ(getUTF8Encoding()->encode(0x800, buffer, 3, 1), 1) << "does not fit";
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST(CUTF8CharEncodingTest, DecodesEveryLengthRejectsBrokenSequencesAndSkipsInvalidBytesOneAtATime)
{
    for (uint32_t codePoint : {0x41u, 0x80u, 0x7FFu, 0x800u, 0xD800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        std::string bytes = encoded(codePoint);
        EXPECT_EQ(decoded(bytes), std::make_pair(static_cast<int32_t>(bytes.size()), codePoint));
    }

    const char* invalid[] = {
        "\xC0\x80",         "\xC1\x80",         "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", // overlong
        "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF",                                     // 0x110000 and up
        "\xF8\x88\x80\x80\x80", "\xFF",         "\x80",         "\xBF",             // no lead byte
        "\xC3\x41",         "\xE0\xA0\x41",     "\xC3",         "\xF0\x9F\x98",     // broken or cut off
    };
    for (const char* bytes : invalid)
        EXPECT_EQ(decoded(bytes).first, -1) << bytes;

    std::string bytes = "a\x80"
                        "b\xE0\xA0"
                        "c\xC3\xA9";
    EXPECT_EQ(getUTF8Encoding()->countChars(bytes.data(), static_cast<int32_t>(bytes.size()), 0), 4);
}

TEST(CUTF8CharEncodingTest, WalksBackwardsOverEveryLength)
{
    std::string bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const int32_t size = static_cast<int32_t>(bytes.size());
    std::vector<uint32_t> backwards;
    uint32_t codePoint;
    for (int32_t end = size; end > 0; backwards.push_back(codePoint)) {
        end = getUTF8Encoding()->decodePrevious(codePoint, bytes.data(), size, end);
        ASSERT_GE(end, 0);
    }
    EXPECT_EQ(backwards, (std::vector<uint32_t>{0x1F600, 0x20AC, 0xE9, 'a'}));

    // Ends inside a character, and more continuation bytes than any character has.
    EXPECT_EQ(getUTF8Encoding()->decodePrevious(codePoint, "\xC3\xA9", 2, 1), -1);
    EXPECT_EQ(getUTF8Encoding()->decodePrevious(codePoint, "\xF0\x9F\x98\x80\x80", 5, 5), -1);
}

} // namespace
} // namespace lumo
