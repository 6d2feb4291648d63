#include "foundation/CFileAccessDeniedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CFileAccessDeniedErrorTest, NamesTheFileByItsDisplayText)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///etc/shadow", "/etc/shadow");
    EXPECT_EQ(utf8(CFileAccessDeniedError(uri.get()).getDescription()),
              "The access of the file '/etc/shadow' was denied.");
}

TEST(CFileAccessDeniedErrorTest, NullURIIsUnknown)
{
    EXPECT_EQ(utf8(CFileAccessDeniedError(nullptr).getDescription()),
              "The access of the file '<uri unknown>' was denied.");
}

} // namespace
} // namespace lumo
