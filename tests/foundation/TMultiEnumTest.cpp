#include "foundation/TMultiEnum.h"

#include "foundation/CArray.h"
#include "foundation/CConstMultiEnum.h"
#include "foundation/CEmptyEnum.h"
#include "foundation/CMultiEnum.h"
#include "foundation/TValue.h"
#include "foundation/castObject.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

P<IEnum> numbers(std::vector<int32_t> values)
{
    P<CArray> array = make<CArray>();
    for (int32_t value : values)
        array->add(make<CInt>(value));
    return array->getEnum();
}

std::vector<int32_t> walk(IConstEnum& all)
{
    std::vector<int32_t> result;
    while (all.hasMoreElements())
        result.push_back(castObject<IInt>(all.nextElement())->get());
    return result;
}

template <class M> class TMultiEnumTest : public ::testing::Test {
};

using MultiEnums = ::testing::Types<CMultiEnum, CConstMultiEnum>;
TYPED_TEST_SUITE(TMultiEnumTest, MultiEnums);

TYPED_TEST(TMultiEnumTest, WalksAndCountsTheSubEnumeratorsInTurnPastEmptyOnesUntilExhaustedAndStartsOver)
{
    P<TypeParam> all = make<TypeParam>();
    all->add(make<CEmptyEnum>());
    all->add(numbers({1, 2}));
    all->add(numbers({}));
    all->add(numbers({3}));
    all->add(make<CEmptyEnum>());
    all->nextElement();
    EXPECT_EQ(all->getRemainingCount(), 2);
    EXPECT_EQ(walk(*all), (std::vector<int32_t>{2, 3}));
    EXPECT_THROW(all->nextElement(), CEndOfEnumError);
    all->reset();
    EXPECT_EQ(walk(*all), (std::vector<int32_t>{1, 2, 3}));
}

TYPED_TEST(TMultiEnumTest, RefusesANullSubEnumeratorItselfAndAnyAfterAnEnumerationCall)
{
    P<TypeParam> all = make<TypeParam>();
    EXPECT_THROW(all->add(nullptr), CInvalidArgError);
    EXPECT_THROW(all->add(all), CInvalidArgError);
    EXPECT_FALSE(all->hasMoreElements());
    EXPECT_THROW(all->add(numbers({1})), CInvalidObjectStateError);
    all->reset();
    EXPECT_FALSE(all->hasMoreElements());
}

} // namespace
} // namespace lumo
