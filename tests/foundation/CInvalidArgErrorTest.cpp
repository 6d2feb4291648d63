#include "foundation/CInvalidArgError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CInvalidArgErrorTest, EmptyTextsAndNoObjectReadAsUnspecified)
{
    CInvalidArgError error(String(), String(), nullptr, nullptr);
    EXPECT_EQ(utf8(error.getDescription()),
              "An invalid argument was passed to method 'unspecified method' of 'unknown object': "
              "unspecified argument");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Object error");
}

TEST(CInvalidArgErrorTest, NamesMethodObjectAndArgument)
{
    CInvalidArgError error("nCount < 0", "setCount", nullptr, &typeid(CObject));
    EXPECT_EQ(utf8(error.getDescription()),
              "An invalid argument was passed to method 'setCount' of 'object class: class lumo::CObject': "
              "nCount < 0");
    EXPECT_EQ(utf8(error.getArgumentText()), "nCount < 0");
    EXPECT_EQ(utf8(error.getMethodName()), "setCount");
}

} // namespace
} // namespace lumo
