#include "foundation/CUTF8CharEncoding.h"

#include "encodedCodePoints.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace lumo {
namespace {

TEST(CUTF8CharEncodingTest, EncodesEachLengthAndSurrogatesButNothingBeyondUnicode)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    // clang-format off
    const std::pair<uint32_t, const char*> cases[] = {
        {0x7F, "\x7F"},         {0x80, "\xC2\x80"},         {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"}, {0xD800, "\xED\xA0\x80"}, {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"}, {0x10FFFF, "\xF4\x8F\xBF\xBF"}, {0x110000, ""},
    };
    // clang-format on
    for (const auto& [codePoint, bytes] : cases)
        EXPECT_EQ(encoded<char>(encoding, codePoint), bytes) << std::hex << codePoint;
    EXPECT_EQ(encoding.getEncodedLength(0x110000), 0);

    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(encoding.encode(0x110000, buffer, 4, 2), 2);
    EXPECT_EQ(encoding.encode(0x800, buffer, 3, 1), 1) << "does not fit";
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST(CUTF8CharEncodingTest, DecodesEveryLengthAndRejectsBrokenSequences)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    uint32_t decoded = 0;
    for (uint32_t codePoint : {0x41u, 0x80u, 0x7FFu, 0x800u, 0xD800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        const std::string bytes = encoded<char>(encoding, codePoint);
        const int32_t size = static_cast<int32_t>(bytes.size());
        EXPECT_EQ(encoding.decode(decoded, bytes.data(), size, 0), size) << std::hex << codePoint;
        EXPECT_EQ(decoded, codePoint);
    }

    // clang-format off
    const char* invalid[] = {
        "\xC0\x80",         "\xC1\x80",         "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", // overlong
        "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF",                                     // 0x110000 and up
        "\xF8\x88\x80\x80\x80", "\xFF",         "\x80",         "\xBF",             // no lead byte
        "\xC3\x41",         "\xE0\xA0\x41",     "\xC3",         "\xF0\x9F\x98",     // broken or cut off
    };
    // clang-format on
    for (const char* bytes : invalid)
        EXPECT_EQ(encoding.decode(decoded, bytes, static_cast<int32_t>(std::strlen(bytes)), 0), -1) << bytes;
}

TEST(CUTF8CharEncodingTest, WalksBackwardsOverEveryLength)
{
    ICharEncoding& encoding = *getUTF8Encoding();
    const std::string bytes = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(walkedBack(encoding, bytes.data(), static_cast<int32_t>(bytes.size())),
              (std::vector<uint32_t>{0x1F600, 0x20AC, 0xE9, 'a'}));

    // Ends inside a character, and more continuation bytes than any character has.
    uint32_t codePoint;
    EXPECT_EQ(encoding.decodePrevious(codePoint, "\xC3\xA9", 2, 1), -1);
    EXPECT_EQ(encoding.decodePrevious(codePoint, "\xF0\x9F\x98\x80\x80", 5, 5), -1);
}

} // namespace
} // namespace lumo
