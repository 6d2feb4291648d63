#include "foundation/CFileError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CFileErrorTest, PlaceholderBecomesTheDisplayText)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///tmp/x", "/tmp/x");
    CFileError error("Cannot lock %URI%.", uri.get());
    EXPECT_EQ(utf8(error.getDescription()), "Cannot lock /tmp/x.");
    EXPECT_TRUE(dynamic_cast<CURIError*>(&error));
}

TEST(CFileErrorTest, NullURIIsUnknown)
{
    CFileError error("Cannot lock %URI%.", nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "Cannot lock <uri unknown>.");
}

} // namespace
} // namespace lumo
