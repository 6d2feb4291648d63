#include "foundation/CURITypeNotSupportedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CURITypeNotSupportedErrorTest, NamesTheURIsOwnText)
{
    P<CFakeURI> uri = make<CFakeURI>("gopher://host/", "host");
    CURITypeNotSupportedError error(uri.get());
    EXPECT_EQ(utf8(error.getDescription()), "This type of URI ('gopher://host/') is not supported.");
}

TEST(CURITypeNotSupportedErrorTest, WithoutURIUsesTheGeneralText)
{
    EXPECT_EQ(utf8(CURITypeNotSupportedError(nullptr).getDescription()), "This type URI is not supported.");
}

} // namespace
} // namespace lumo
