#include "foundation/CCPCharEncoding.h"

#include "foundation/CMethodNotImplementedError.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace lumo {
namespace {

// Runs each test in a UTF-8 locale and restores the process's locale after.
class CCPCharEncodingTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr); }
    void TearDown() override { std::setlocale(LC_ALL, m_previousLocale.c_str()); }

    const std::string m_previousLocale = std::setlocale(LC_ALL, nullptr);
    const P<ICharEncoding> encoding = getCodePageEncoding();
};

TEST_F(CCPCharEncodingTest, ConvertsCharactersThroughTheLocale)
{
    char buffer[8] = {};
    EXPECT_EQ(encoding->encode(0xE9, buffer, sizeof buffer, 0), 2);
    EXPECT_EQ(std::string(buffer, 2), "\xC3\xA9");
    EXPECT_EQ(encoding->encode(0x1F600, buffer, sizeof buffer, 1), 1) << "above 0xFFFF";

    uint32_t codePoint = 0;
    EXPECT_EQ(encoding->decode(codePoint, "\xE2\x82\xAC", 3, 0), 3);
    EXPECT_EQ(codePoint, 0x20ACu);
    EXPECT_EQ(encoding->decode(codePoint, "\xE2\x82", 2, 0), -1);
    EXPECT_EQ(encoding->countChars("a\xFF\xC3\xA9", 4, 0), 2);
    // A zero byte is a character of its own.
    EXPECT_EQ(encoding->decode(codePoint, "a\0b", 3, 1), 2);
    EXPECT_EQ(codePoint, 0u);
}

TEST_F(CCPCharEncodingTest, TextRoundTripsThroughTheCodePageWhichCannotBeWalkedBackwards)
{
    String text = String::fromUTF8("gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80");
    std::string codePage = text->toCodePage();
    EXPECT_EQ(codePage, "gr\xC3\xBC\xC3\x9F \xE2\x82\xAC ") << "code points above 0xFFFF are dropped";

    String back = String::fromCodePage(codePage);
    EXPECT_TRUE(back->hasEncoding(ICharEncoding::codePageTag));
    EXPECT_TRUE(back == String::fromUTF8(codePage));

    uint32_t codePoint = 0;
    EXPECT_FALSE(encoding->canWalkBackwards());
    EXPECT_THROW(encoding->findPrevious("ab", 2, 0), CMethodNotImplementedError);
    EXPECT_THROW(encoding->decodePrevious(codePoint, "ab", 2, 2), CMethodNotImplementedError);
}

} // namespace
} // namespace lumo
