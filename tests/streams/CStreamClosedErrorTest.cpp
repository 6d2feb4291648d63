#include "streams/CStreamClosedError.h"

#include "foundation/CURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CStreamClosedErrorTest, SameTextWithOrWithoutURI)
{
    P<CURI> uri = make<CURI>(String("file:///tmp/x"));
    for (const IURI* given : {static_cast<const IURI*>(uri.get()), static_cast<const IURI*>(nullptr)}) {
        CStreamClosedError error(given);
        EXPECT_EQ(error.getDescription()->toUTF8(), "The stream has been closed.");
        EXPECT_EQ(error.getURI().get(), given);
        P<CException> copy = error.clone();
        EXPECT_NE(dynamic_cast<CStreamClosedError*>(copy.get()), nullptr);
    }
}

} // namespace
} // namespace lumo
