#include "foundation/CNoSuchObjectError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CNoSuchObjectErrorTest, EmptyDescriptionIsTheBuiltInText)
{
    EXPECT_EQ(utf8(CNoSuchObjectError(String()).getDescription()), "No such object.");
}

} // namespace
} // namespace lumo
