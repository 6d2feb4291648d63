#include "foundation/CInvalidObjectStateError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CInvalidObjectStateErrorTest, NamesObjectAndState)
{
    CInvalidObjectStateError error("stream closed", nullptr, &typeid(CObject));
    EXPECT_EQ(utf8(error.getDescription()),
              "The object is in an invalid state (object class: class lumo::CObject): stream closed.");
    EXPECT_EQ(utf8(error.getStateMessage()), "stream closed");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Object error");
}

TEST(CInvalidObjectStateErrorTest, StateMessageIsTakenLiterally)
{
    CInvalidObjectStateError error("100%OBJECTDESC%", nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "The object is in an invalid state (unknown object): 100%OBJECTDESC%.");
}

} // namespace
} // namespace lumo
