#include "foundation/CConstArray.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/IArray.h"
#include "foundation/TValue.h"
#include "foundation/castObject.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CConstArrayTest, CopiesItsElementsAtConstruction)
{
    TSimpleArray<P<IBase>> source;
    P<IBase> first = make<CInt>(1);
    source.add(first);
    source.add(make<CInt>(2));
    P<IConstArray> array = make<CConstArray>(source);
    source.clear();

    EXPECT_EQ(array->getCount(), 2);
    EXPECT_EQ(array->get(0), first);
    EXPECT_TRUE(array->contains(first.get()));
    EXPECT_EQ(array->indexOf(first.get()), 0);
    EXPECT_THROW(array->get(2), CInvalidArgError);
    EXPECT_FALSE(castObject<IArray>(array, false));
}

TEST(CConstArrayTest, EnumeratorHandsOutEveryElementOnce)
{
    TSimpleArray<P<IBase>> source;
    source.add(make<CInt>(1));
    source.add(nullptr);
    P<IConstEnum> walk = make<CConstArray>(source)->getConstEnum();
    EXPECT_EQ(walk->getRemainingCount(), 2);
    EXPECT_EQ(castObject<IInt>(walk->nextElement())->get(), 1);
    EXPECT_FALSE(walk->nextElement());
    EXPECT_THROW(walk->nextElement(), CEndOfEnumError);
    EXPECT_TRUE(make<CConstArray>()->isEmpty());
    EXPECT_FALSE(make<CConstArray>()->getConstEnum()->hasMoreElements());
}

} // namespace
} // namespace lumo
