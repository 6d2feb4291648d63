#include "foundation/CMethodNotImplementedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CMethodNotImplementedErrorTest, NamesObjectAndMethod)
{
    CMethodNotImplementedError error("seek", nullptr, &typeid(CObject));
    EXPECT_EQ(utf8(error.getDescription()), "Method not implemented (object class: class lumo::CObject): seek.");
    EXPECT_EQ(utf8(error.getMethodName()), "seek");
}

TEST(CMethodNotImplementedErrorTest, EmptyNameIsUnspecified)
{
    CMethodNotImplementedError error(String(), nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "Method not implemented (unknown object): unspecified method.");
}

} // namespace
} // namespace lumo
