#include "foundation/CError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CErrorTest, EmptyTextsGiveTheDefaults)
{
    CError error{String(), String()};
    EXPECT_EQ(utf8(error.getDescription()), "Unspecified error");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Error");
}

TEST(CErrorTest, GivenTextsAreKept)
{
    CError error("Disk on fire", "Hardware");
    EXPECT_EQ(utf8(error.getDescription()), "Disk on fire");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Hardware");
}

} // namespace
} // namespace lumo
