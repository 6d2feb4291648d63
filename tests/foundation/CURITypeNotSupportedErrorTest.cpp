#include "foundation/CURITypeNotSupportedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CURITypeNotSupportedErrorTest, WithoutURIUsesTheGeneralText)
{
    EXPECT_EQ(utf8(CURITypeNotSupportedError(nullptr).getDescription()), "This type URI is not supported.");
}

} // namespace
} // namespace lumo
