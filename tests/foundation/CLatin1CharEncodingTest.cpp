#include "foundation/CLatin1CharEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

TEST(CLatin1CharEncodingTest, EachByteIsACodePointAndTheRestIsAQuestionMark)
{
    ICharEncoding& encoding = *getLatin1Encoding();
    uint32_t codePoint = 0;
    EXPECT_EQ(encoding.decode(codePoint, "a\xE9", 2, 1), 2);
    EXPECT_EQ(codePoint, 0xE9u);

    char buffer[3] = {};
    int32_t end = encoding.encode(0xFF, buffer, 3, 0);
    end = encoding.encode(0x100, buffer, 3, end);
    end = encoding.encode(0x20AC, buffer, 3, end);
    EXPECT_EQ(std::string(buffer, end), "\xFF??");
}

} // namespace
} // namespace lumo
