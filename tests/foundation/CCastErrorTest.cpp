#include "foundation/CCastError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {

class CCastErrorTestObject : public CObject {};
class ICastErrorTestTarget : public virtual IBase {};

namespace {

TEST(CCastErrorTest, NamesTheObjectsClassAndTheTarget)
{
    P<CCastErrorTestObject> object = make<CCastErrorTestObject>();
    CCastError error(object.get(), &typeid(ICastErrorTestTarget));
    EXPECT_EQ(utf8(error.getDescription()),
              "Error casting a 'class lumo::CCastErrorTestObject' object to 'class lumo::ICastErrorTestTarget'.");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Cast error");
    EXPECT_EQ(error.getTargetType(), &typeid(ICastErrorTestTarget));
}

TEST(CCastErrorTest, MissingObjectAndTargetReadAsUnknown)
{
    CCastError error(nullptr, nullptr);
    EXPECT_EQ(utf8(error.getDescription()), "Error casting a 'unknown' object to 'unknown'.");
}

} // namespace
} // namespace lumo
