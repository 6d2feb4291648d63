#include "streams/CStreamClosedError.h"

#include "foundation/CURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CStreamClosedErrorTest, SameTextWithOrWithoutURI)
{
    P<CURI> uri = make<CURI>(String("file:///tmp/x"));
    for (const IURI* given : {static_cast<const IURI*>(uri.get()), static_cast<const IURI*>(nullptr)}) {
        P<CException> copy = CStreamClosedError(given).clone();
        ASSERT_NE(dynamic_cast<CStreamClosedError*>(copy.get()), nullptr);
        EXPECT_EQ(copy->getDescription()->toUTF8(), "The stream has been closed.");
        EXPECT_EQ(static_cast<CURIError*>(copy.get())->getURI().get(), given);
    }
}

} // namespace
} // namespace lumo
