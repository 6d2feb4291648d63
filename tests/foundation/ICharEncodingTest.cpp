#include "foundation/ICharEncoding.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumo {
namespace {

TEST(ICharEncodingTest, EachEncodingIsOneInstanceFoundByItsTag)
{
    struct Expected {
        P<ICharEncoding> (*get)();
        const char* tag;
        const char* name;
        int32_t unitSize;
    };
    const Expected encodings[] = {
        {&getLatin1Encoding, "LAT1", "Latin-1", 1}, {&getUTF8Encoding, "UTF8", "UTF-8", 1},
        {&getUTF16Encoding, "UF16", "UTF-16", 2},   {&getUTF32Encoding, "UF32", "UTF-32", 4},
        {&getCodePageEncoding, "CDPG", "CodePage", 1},
    };
    for (const Expected& expected : encodings) {
        P<ICharEncoding> encoding = expected.get();
        uint32_t tag;
        std::memcpy(&tag, expected.tag, 4);
        EXPECT_EQ(encoding->getTag(), tag) << expected.name;
        EXPECT_EQ(encoding->getName().toUTF8(), expected.name);
        EXPECT_EQ(encoding->getEncodedLength(0), expected.unitSize) << "a terminator is one zero unit";
        EXPECT_EQ(expected.get(), encoding);
        EXPECT_EQ(getCharEncoding(tag), encoding);
    }
    EXPECT_EQ(getCharEncoding(0x12345678), nullptr);
}

} // namespace
} // namespace lumo
