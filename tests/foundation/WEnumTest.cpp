#include "foundation/WEnum.h"

#include "foundation/CArray.h"
#include "foundation/TValue.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(WEnumTest, HandsOutElementsAsTheInterfaceAndRefusesOthers)
{
    P<CArray> array = make<CArray>();
    array->add(String("text").get());
    array->add(nullptr);
    array->add(make<CInt>(1));
    WEnum<IString> texts(array->getEnum());
    EXPECT_EQ(texts.getRemainingCount(), 3);
    EXPECT_EQ(texts.nextElement()->toUTF8(), "text");
    EXPECT_FALSE(texts.nextElement());
    EXPECT_THROW(texts.nextElement(), CCastError);
    EXPECT_THROW(texts.nextElement(), CEndOfEnumError);
}

} // namespace
} // namespace lumo
