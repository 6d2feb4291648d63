#include "foundation/CStringSlice.h"

#include "foundation/String.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

int32_t referencesOf(const P<IString>& text) { return dynamic_cast<CReferencable&>(*text).getReferenceCount(); }

// A slice of a slice holds the original source, not the slice it was cut from.
TEST(CStringSliceTest, KeepsItsOriginalSourceAlive)
{
    P<IString> source = String::fromUTF8(std::string("short-lived ") + "text").get(), outer = source->slice(1, 10);
    P<IString> inner = outer->slice(5, 5);
    EXPECT_EQ(referencesOf(outer), 1);
    EXPECT_EQ(referencesOf(source), 3);
    source = nullptr;
    outer = nullptr;
    // The source's bytes must still be there (the address sanitizer checks).
    EXPECT_EQ(inner->toUTF8(), "lived");
}

} // namespace
} // namespace lumo
