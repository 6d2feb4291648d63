#include "foundation/CObjectError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CNamed : public CObject {
public:
    P<IString> toString() const override { return String("the named one").get(); }
};

TEST(CObjectErrorTest, DescribesTheObjectByItsTextElseByItsTypeAndKeepsItAlive)
{
    P<CNamed> object = make<CNamed>();
    {
        CObjectError error(object.get(), nullptr, "Bad %OBJECTDESC%; really: %OBJECTDESC%");
        EXPECT_EQ(utf8(error.getDescription()), "Bad object: the named one; really: object: the named one");
        ASSERT_NE(error.getObjectType(), nullptr);
        EXPECT_TRUE(*error.getObjectType() == typeid(CNamed)) << "an object without a type lends its own";
        EXPECT_EQ(object->getReferenceCount(), 2);
    }
    EXPECT_EQ(object->getReferenceCount(), 1);

    EXPECT_EQ(utf8(CObjectError(nullptr, &typeid(CObject), String()).getDescription()),
              "object class: class lumo::CObject");
}

} // namespace
} // namespace lumo
