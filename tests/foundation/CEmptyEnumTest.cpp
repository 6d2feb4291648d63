#include "foundation/CEmptyEnum.h"

#include "foundation/CEndOfEnumError.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CEmptyEnumTest, NeverHasAnElement)
{
    P<IEnum> none = make<CEmptyEnum>();
    EXPECT_FALSE(none->hasMoreElements());
    EXPECT_EQ(none->getRemainingCount(), 0);
    EXPECT_THROW(none->nextElement(), CEndOfEnumError);
    EXPECT_THROW(none->skip(), CEndOfEnumError);
    none->reset();
    EXPECT_FALSE(none->hasMoreElements());
}

} // namespace
} // namespace lumo
