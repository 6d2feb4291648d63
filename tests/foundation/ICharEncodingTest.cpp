#include "foundation/ICharEncoding.h"

#include <gtest/gtest.h>

#include <cstring>

namespace lumo {
namespace {

TEST(ICharEncodingTest, EachEncodingIsOneInstanceFoundByItsTag)
{
    const std::pair<P<ICharEncoding> (*)(), const char*> encodings[] = {
        {&getLatin1Encoding, "LAT1"}, {&getUTF8Encoding, "UTF8"},       {&getUTF16Encoding, "UF16"},
        {&getUTF32Encoding, "UF32"},  {&getCodePageEncoding, "CDPG"},
    };
    for (const auto& [get, tagText] : encodings) {
        uint32_t tag;
        std::memcpy(&tag, tagText, 4);
        EXPECT_EQ(get()->getTag(), tag) << tagText;
        EXPECT_EQ(getCharEncoding(tag), get());
    }
    EXPECT_EQ(getCharEncoding(0x12345678), nullptr);
}

} // namespace
} // namespace lumo
