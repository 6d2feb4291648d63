#include "foundation/CStringTokenizerEnum.h"

#include "foundation/WEnum.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

std::vector<std::string> parts(const String& text, const String& separators, bool bReturnEmptyParts)
{
    WEnum<IString> walk(make<CStringTokenizerEnum>(text, separators, bReturnEmptyParts));
    std::vector<std::string> result;
    while (walk.hasMoreElements())
        result.push_back(walk.nextElement()->toUTF8());
    return result;
}

using Parts = std::vector<std::string>;

TEST(CStringTokenizerEnumTest, SplitsAtEveryCharacterOfTheSeparatorsSkippingEmptyPartsUnlessAskedFor)
{
    EXPECT_EQ(parts("  a  b ", " ", false), (Parts{"a", "b"}));
    EXPECT_EQ(parts("  a  b ", " ", true), (Parts{"", "", "a", "", "b", ""}));
    EXPECT_EQ(parts("", ",", true), (Parts{""}));
    EXPECT_EQ(parts("a=1;b=2", "=;", false), (Parts{"a", "1", "b", "2"}));

    const String text = String::fromUTF8("\xC3\xA9t\xC3\xA9\xE2\x82\xAC" + std::string("hiver\xE2\x82\xAC"));
    EXPECT_EQ(parts(text, String::fromUTF8("\xE2\x82\xAC"), true), (Parts{"\xC3\xA9t\xC3\xA9", "hiver", ""}));
}

} // namespace
} // namespace lumo
