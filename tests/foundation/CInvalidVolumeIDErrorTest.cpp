#include "foundation/CInvalidVolumeIDError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CInvalidVolumeIDErrorTest, NamesTheVolume)
{
    CInvalidVolumeIDError error("Q:");
    EXPECT_EQ(utf8(error.getDescription()), "Invalid volume id: Q:");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Invalid Volume ID Error");
}

} // namespace
} // namespace lumo
