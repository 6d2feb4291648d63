#include "foundation/CObjectError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CNamed : public CObject {
public:
    P<IString> toString() const override { return String("the named one").get(); }
};

TEST(CObjectErrorTest, ObjectIsDescribedByItsText)
{
    P<CNamed> object = make<CNamed>();
    CObjectError error(object.get(), nullptr, String());
    EXPECT_EQ(utf8(error.getDescription()), "object: the named one");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "Object error");
}

TEST(CObjectErrorTest, ObjectWithoutTypeLendsItsRunTimeType)
{
    P<CNamed> object = make<CNamed>();
    CObjectError error(object.get(), nullptr, String());
    ASSERT_NE(error.getObjectType(), nullptr);
    EXPECT_TRUE(*error.getObjectType() == typeid(CNamed));
    EXPECT_EQ(error.getObject().get(), static_cast<IBase*>(object.get()));
}

TEST(CObjectErrorTest, TypeAloneIsDescribedByItsClassName)
{
    CObjectError error(nullptr, &typeid(CObject), String());
    EXPECT_EQ(utf8(error.getDescription()), "object class: class lumo::CObject");
    EXPECT_EQ(error.getObject().get(), nullptr);
}

TEST(CObjectErrorTest, NeitherObjectNorTypeIsUnknown)
{
    CObjectError error(nullptr, nullptr, String());
    EXPECT_EQ(utf8(error.getDescription()), "unknown object");
    EXPECT_EQ(error.getObjectType(), nullptr);
}

TEST(CObjectErrorTest, TemplateGetsEveryPlaceholderReplaced)
{
    P<CNamed> object = make<CNamed>();
    CObjectError error(object.get(), nullptr, "Bad %OBJECTDESC%; really: %OBJECTDESC%");
    EXPECT_EQ(utf8(error.getDescription()), "Bad object: the named one; really: object: the named one");
}

TEST(CObjectErrorTest, KeepsTheObjectAliveWhileItLives)
{
    P<CNamed> object = make<CNamed>();
    {
        CObjectError error(object.get(), nullptr, String());
        EXPECT_EQ(object->getReferenceCount(), 2);
    }
    EXPECT_EQ(object->getReferenceCount(), 1);
}

} // namespace
} // namespace lumo
