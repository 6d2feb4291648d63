#include "foundation/ICharEncoding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lumo {
namespace {

struct Expected {
    P<ICharEncoding> (*get)();
    const char* tagText;
    const char* name;
    int32_t unitSize;
};

const Expected encodings[] = {
    {&getLatin1Encoding, "LAT1", "Latin-1", 1}, {&getUTF8Encoding, "UTF8", "UTF-8", 1},
    {&getUTF16Encoding, "UF16", "UTF-16", 2},   {&getUTF32Encoding, "UF32", "UTF-32", 4},
    {&getCodePageEncoding, "CDPG", "CodePage", 1},
};

TEST(ICharEncodingTest, EachEncodingHasItsTagNameAndUnit)
{
    for (const Expected& expected : encodings) {
        P<ICharEncoding> encoding = expected.get();
        uint32_t tag;
        std::memcpy(&tag, expected.tagText, 4);
        EXPECT_EQ(encoding->getTag(), tag) << expected.name;
        EXPECT_EQ(encoding->getName().toUTF8(), expected.name);
        EXPECT_EQ(encoding->getUnitSize(), expected.unitSize);
        EXPECT_EQ(encoding->getEncodedLength(0), expected.unitSize) << "a terminator is one zero unit";
        EXPECT_EQ(encoding->canWalkBackwards(), tag != ICharEncoding::codePageTag);
    }
    EXPECT_EQ(getLatin1Encoding()->getTag(), 0x3154414cu);
    EXPECT_EQ(getCodePageEncoding()->getTag(), 0x47504443u);
}

TEST(ICharEncodingTest, EachGetterAndItsTagGiveOneSharedInstance)
{
    for (const Expected& expected : encodings) {
        P<ICharEncoding> encoding = expected.get();
        EXPECT_EQ(expected.get(), encoding);
        EXPECT_EQ(getCharEncoding(encoding->getTag()), encoding);
    }
    EXPECT_EQ(getCharEncoding(0x12345678), nullptr);
    EXPECT_EQ(getCharEncoding(0), nullptr);
}

} // namespace
} // namespace lumo
