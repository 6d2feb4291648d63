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

    P<IInt64> big = make<CInt64>(int64_t(1) << 62);
    EXPECT_EQ(big->get(), int64_t(1) << 62);
    P<IFloat> single = make<CFloat>(1.5f);
    EXPECT_EQ(single->set(0.1f), 0.1f);
    P<IDouble> dbl = make<CDouble>(0.1);
    EXPECT_EQ(dbl->get(), 0.1);
    P<IBool> flag = make<CBool>(false);
    EXPECT_TRUE(flag->set(true));
    EXPECT_TRUE(flag->get());
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
