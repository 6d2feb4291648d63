#include "foundation/CURIError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CURIErrorTest, PlaceholderBecomesTheDisplayText)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///tmp/a%20b", "/tmp/a b");
    CURIError error("Cannot open %URI% (%URI%)", uri.get());
    EXPECT_EQ(utf8(error.getDescription()), "Cannot open /tmp/a b (/tmp/a b)");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Error");
    EXPECT_EQ(error.getURI().get(), static_cast<const IURI*>(uri.get()));
}

TEST(CURIErrorTest, NullURIIsUnknown)
{
    CURIError error("Cannot open %URI%", nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "Cannot open <uri unknown>");
    EXPECT_FALSE(error.getURI());
}

TEST(CURIErrorTest, EmptyDescriptionIsUnspecified)
{
    CURIError error(String(), nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "Unspecified error");
}

} // namespace
} // namespace lumo
