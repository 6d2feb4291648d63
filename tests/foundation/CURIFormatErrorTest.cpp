#include "foundation/CURIFormatError.h"

#include "CFakeURI.h"
#include "ScopedLocalizedText.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CURIFormatErrorTest, NamesTheURIsOwnText)
{
    P<CFakeURI> uri = make<CFakeURI>("ht tp://x", "shown differently");
    CURIFormatError error(uri.get());
    EXPECT_EQ(utf8(error.getDescription()), "The URI ('ht tp://x') has an invalid format.");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Error");
}

TEST(CURIFormatErrorTest, WithoutURIUsesTheGeneralText)
{
    EXPECT_EQ(utf8(CURIFormatError(nullptr).getDescription()), "The URI has an invalid format.");
}

TEST(CURIFormatErrorTest, LocalizedTextGetsThePlaceholderReplaced)
{
    ScopedLocalizedText text("lumo.CURIFormatError.Desc", String::fromUTF8("Ungültige URI %URI%"));
    P<CFakeURI> uri = make<CFakeURI>("x:", "x");
    EXPECT_EQ(utf8(CURIFormatError(uri.get()).getDescription()), "Ungültige URI x:");
}

} // namespace
} // namespace lumo
