#include "foundation/CArray.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/TValue.h"
#include "foundation/castObject.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

P<IBase> number(int32_t value) { return make<CInt>(value); }

std::vector<int32_t> values(IConstEnum& walk)
{
    std::vector<int32_t> result;
    while (walk.hasMoreElements())
        result.push_back(castObject<IInt>(walk.nextElement())->get());
    return result;
}

// Storing is TSimpleArray's; the array adds the checks of the indices it is handed.
TEST(CArrayTest, TakesIndicesUpToItsEndAndRefusesOthersChangingNothing)
{
    P<IArray> array = make<CArray>();
    EXPECT_THROW(array->get(0), CInvalidArgError);
    array->add(number(1));
    array->insert(1, number(3));
    array->set(1, number(2));
    EXPECT_THROW(array->get(-1), CInvalidArgError);
    EXPECT_THROW(array->set(2, number(3)), CInvalidArgError);
    EXPECT_THROW(array->insert(3, number(3)), CInvalidArgError);
    EXPECT_THROW(array->removeAt(5), CInvalidArgError);
    EXPECT_EQ(values(*array->getConstEnum()), (std::vector<int32_t>{1, 2}));
}

TEST(CArrayTest, EnumeratorsWalkLiveSeeRemovalsAndKeepTheArrayAlive)
{
    P<IArray> array = make<CArray>();
    for (int32_t i = 0; i < 3; ++i)
        array->add(number(i));
    P<IEnum> walk = array->getEnum();
    EXPECT_FALSE(castObject<IEnum>(array->getConstEnum(), false));
    EXPECT_EQ(walk->getRemainingCount(), 3);
    walk->skip();
    EXPECT_EQ(castObject<IInt>(walk->nextElement())->get(), 1);
    array->removeAt(2);
    array->removeAt(1);
    EXPECT_EQ(walk->getRemainingCount(), 0);
    EXPECT_THROW(walk->nextElement(), CEndOfEnumError);

    array = nullptr;
    walk->reset();
    EXPECT_EQ(values(*walk), (std::vector<int32_t>{0}));
}

} // namespace
} // namespace lumo
