#include "foundation/CStringSlice.h"

#include "foundation/String.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

int32_t referencesOf(const P<IString>& text) { return dynamic_cast<CReferencable&>(*text).getReferenceCount(); }

// A slice of a slice holds the original source, not the slice it was cut from.
TEST(CStringSliceTest, KeepsItsOriginalSourceAliveInItsEncoding)
{
    P<IString> source = String::fromUTF8(std::string("short-lived ") + "text").get(), outer = source->slice(1, 10);
    P<IString> inner = outer->slice(5, 5);
    EXPECT_EQ(referencesOf(outer), 1);
    EXPECT_EQ(referencesOf(source), 3);
    source = nullptr;
    outer = nullptr;
    // The source's bytes must still be there (the address sanitizer checks).
    EXPECT_EQ(inner->toUTF8(), "lived");

    P<IString> wide = String::fromUTF16(u"\u00E9t\u00E9").get();
    P<IString> slice = make<CStringSlice>(wide, static_cast<const char*>(wide->getData()) + 2, 4, 2, true);
    EXPECT_TRUE(slice->hasEncoding(ICharEncoding::utf16Tag));
    EXPECT_EQ(slice->toUTF16(), u"t\u00E9");
    EXPECT_TRUE(slice->isNullTerminated());
}

} // namespace
} // namespace lumo
