#include "foundation/TMultiEnum.h"

#include "expectError.h"
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

// Hands out the numbers from 1 to its limit without telling how many.
class CUncountedEnum : public CObject, public virtual IEnum {
public:
    explicit CUncountedEnum(int32_t limit) : m_limit(limit) {}
    bool hasMoreElements() override { return m_next <= m_limit; }
    int32_t getRemainingCount() override { return -1; }
    P<IBase> nextElement() override
    {
        if (!hasMoreElements())
            throw CEndOfEnumError(this);
        return make<CInt>(m_next++);
    }
    void reset() override { m_next = 1; }
    void skip() override { nextElement(); }

private:
    int32_t m_limit, m_next = 1;
};

P<IEnum> numbers(std::vector<int32_t> values)
{
    P<CArray> array = make<CArray>();
    for (int32_t value : values)
        array->add(make<CInt>(value));
    return array->getEnum();
}

template <class M> class TMultiEnumTest : public ::testing::Test {
protected:
    static std::vector<int32_t> walk(IConstEnum& all)
    {
        std::vector<int32_t> result;
        while (all.hasMoreElements())
            result.push_back(castObject<IInt>(all.nextElement())->get());
        return result;
    }
};

using MultiEnums = ::testing::Types<CMultiEnum, CConstMultiEnum>;
TYPED_TEST_SUITE(TMultiEnumTest, MultiEnums);

TYPED_TEST(TMultiEnumTest, WalksTheSubEnumeratorsInTurnPastEmptyOnesUntilExhaustedAndStartsOver)
{
    P<TypeParam> all = make<TypeParam>();
    all->add(make<CEmptyEnum>());
    all->add(numbers({1, 2}));
    all->add(numbers({}));
    all->add(make<CUncountedEnum>(1));
    all->add(make<CEmptyEnum>());
    all->nextElement();
    EXPECT_EQ(this->walk(*all), (std::vector<int32_t>{2, 1}));
    expectThrow<CEndOfEnumError>([&] { all->nextElement(); },
                                 [&](const CEndOfEnumError& error) { EXPECT_EQ(error.getObject(), P<IBase>(all)); });
    all->reset();
    EXPECT_EQ(this->walk(*all), (std::vector<int32_t>{1, 2, 1}));
}

TYPED_TEST(TMultiEnumTest, CountsWhatIsLeftWhileEverySubEnumeratorKnows)
{
    EXPECT_EQ(make<TypeParam>()->getRemainingCount(), 0);
    P<TypeParam> all = make<TypeParam>();
    all->add(numbers({1, 2}));
    all->add(numbers({3, 4, 5}));
    for (int i = 0; i < 3; ++i)
        all->nextElement();
    EXPECT_EQ(all->getRemainingCount(), 2);

    all = make<TypeParam>();
    all->add(numbers({1}));
    all->add(make<CUncountedEnum>(2));
    EXPECT_EQ(all->getRemainingCount(), -1);
}

TYPED_TEST(TMultiEnumTest, RefusesANullSubEnumeratorItselfAndAnyAfterAnEnumerationCall)
{
    P<TypeParam> empty = make<TypeParam>();
    EXPECT_THROW(empty->add(nullptr), CInvalidArgError);
    EXPECT_THROW(empty->add(empty), CInvalidArgError);
    EXPECT_FALSE(empty->hasMoreElements());

    using Call = void (*)(IConstEnum&);
    const std::vector<Call> calls = {
        [](IConstEnum& e) { e.getRemainingCount(); },
        [](IConstEnum& e) { e.nextElement(); },
        [](IConstEnum& e) { e.reset(); },
    };
    for (Call call : calls) {
        P<TypeParam> all = make<TypeParam>();
        all->add(numbers({1}));
        call(*all);
        EXPECT_THROW(all->add(numbers({2})), CInvalidObjectStateError);
        all->reset();
        EXPECT_EQ(this->walk(*all), (std::vector<int32_t>{1}));
    }
}

} // namespace
} // namespace lumo
