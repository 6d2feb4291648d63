#include "foundation/CReadOnlyError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CReadOnlyErrorTest, NamesTheObject)
{
    CReadOnlyError error("settings list");
    EXPECT_EQ(utf8(error.getDescription()), "The object (settings list) is read-only and cannot be changed.");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Error");
}

} // namespace
} // namespace lumo
