#include "foundation/TValue.h"

#include "foundation/castObject.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumo {
namespace {

TEST(TValueTest, SetStoresAndReturnsTheValue)
{
    P<IInt> number = make<CInt>(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(number->get(), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(number->set(-7), -7);
    EXPECT_EQ(number->get(), -7);
    EXPECT_EQ(make<CInt64>(int64_t(1) << 62)->get(), int64_t(1) << 62);
}

TEST(TValueTest, EachKindIsItsOwnInterfaceAndClass)
{
    P<IBase> number = make<CInt>(1);
    EXPECT_TRUE(castObject<IInt>(number, false));
    EXPECT_FALSE(castObject<IInt64>(number, false));
    EXPECT_FALSE(castObject<IBool>(number, false));
    EXPECT_FALSE(castObject<IInt>(P<IBase>(make<CDouble>(1.0)), false));
    EXPECT_FALSE(castObject<IFloat>(P<IBase>(make<CDouble>(1.0)), false));
    EXPECT_EQ(number->toString()->toUTF8(), "class lumo::CInt object");
    EXPECT_EQ(make<CBool>(true)->toString()->toUTF8(), "class lumo::CBool object");
}

} // namespace
} // namespace lumo
