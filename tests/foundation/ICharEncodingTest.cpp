#include "foundation/ICharEncoding.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(ICharEncodingTest, EachEncodingIsOneInstanceFoundByItsTag)
{
    for (auto get : {&getLatin1Encoding, &getUTF8Encoding, &getUTF16Encoding, &getUTF32Encoding, &getCodePageEncoding})
        EXPECT_EQ(getCharEncoding(get()->getTag()), get());
    EXPECT_EQ(getCharEncoding(0x12345678), nullptr);
}

} // namespace
} // namespace lumo
