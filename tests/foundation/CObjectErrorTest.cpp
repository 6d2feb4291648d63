#include "foundation/CObjectError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CObjectErrorTest, KeepsItsObjectAliveAndLendsItsType)
{
    P<CFakeURI> object = make<CFakeURI>("file:///f", "/f");
    {
        CObjectError error(object.get(), nullptr, "d");
        ASSERT_NE(error.getObjectType(), nullptr);
        EXPECT_TRUE(*error.getObjectType() == typeid(CFakeURI));
        EXPECT_EQ(object->getReferenceCount(), 2);
    }
    EXPECT_EQ(object->getReferenceCount(), 1);
}

} // namespace
} // namespace lumo
