#include "foundation/TNullString.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

template <class Text> void expectTerminatedCopy(const typename Text::UnitType* units, int32_t unitCount, uint32_t tag)
{
    P<Text> text = make<Text>(units, unitCount);
    EXPECT_TRUE(text->hasEncoding(tag));
    EXPECT_NE(text->getUnits(), units);
    EXPECT_EQ(text->getUnits()[unitCount], 0) << "terminated after the copied units";
    EXPECT_EQ(text->getLength(), 2);
}

TEST(TNullStringTest, EachVariantCopiesIntoATerminatedArray)
{
    // Two characters each, followed by a unit that must not be copied: one variant of each unit size.
    const unsigned char bytes[] = {'h', 0xC3, 0xA9, 'x'};
    expectTerminatedCopy<CNullUTF8String>(bytes, 3, ICharEncoding::utf8Tag);
    expectTerminatedCopy<CNullWCharString>(u"a\U0001F600x", 3, ICharEncoding::utf16Tag);
    expectTerminatedCopy<CNullUTF32String>(U"abx", 2, ICharEncoding::utf32Tag);
}

TEST(TNullStringTest, BorrowsTerminatedUnitsCountedInUnits)
{
    static const char16_t text[] = u"wide";
    P<CNullWCharString> borrowed = make<CNullWCharString>(text, -1, -1, CString::Mode::borrow);
    EXPECT_EQ(borrowed->getUnits(), text);
    EXPECT_EQ(borrowed->getUnitCount(), 4);
}

} // namespace
} // namespace lumo
