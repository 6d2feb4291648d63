#include "foundation/TSimpleArray.h"

#include "CLifeProbe.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CNumber : public CLifeProbe {
public:
    CNumber(int value, int& destructions) : CLifeProbe(destructions), value(value) {}
    const int value;
};

class TSimpleArrayTest : public ::testing::Test {
protected:
    P<CNumber> number(int value) { return make<CNumber>(value, destructions); }
    static std::vector<int> values(const TSimpleArray<P<CNumber>>& array)
    {
        std::vector<int> result;
        for (int32_t i = 0; i < array.getCount(); ++i)
            result.push_back(array.get(i)->value);
        return result;
    }
    int destructions = 0;
};

TEST_F(TSimpleArrayTest, KeepsReferencesAcrossGrowthAndReleasesThemOnRemoval)
{
    {
        TSimpleArray<P<CNumber>> array(2);
        for (int i = 0; i < 5; ++i)
            array.add(number(i));
        EXPECT_EQ(array.get(4)->getReferenceCount(), 1);
        array.remove(1, 2);
        EXPECT_EQ(destructions, 2);
        EXPECT_EQ(values(array), (std::vector<int>{0, 3, 4}));
        array.setCapacity(1);
        EXPECT_EQ(destructions, 4);
        EXPECT_EQ(values(array), (std::vector<int>{0}));
    }
    EXPECT_EQ(destructions, 5);
}

TEST_F(TSimpleArrayTest, InsertsAndMovesRuns)
{
    // A step of one: the run inserted needs more room than one step gives.
    TSimpleArray<P<CNumber>> array(1);
    for (int i = 0; i < 6; ++i)
        array.add(number(i));
    P<CNumber> inserted[] = {number(10), number(11)};
    array.insert(2, inserted, 2);
    EXPECT_EQ(values(array), (std::vector<int>{0, 1, 10, 11, 2, 3, 4, 5}));
    array.move(2, 2, 5);
    EXPECT_EQ(values(array), (std::vector<int>{0, 1, 2, 3, 4, 10, 11, 5}));
    array.move(5, 3, 0);
    EXPECT_EQ(values(array), (std::vector<int>{10, 11, 5, 0, 1, 2, 3, 4}));
    for (int32_t i = 0; i < array.getCount(); ++i)
        EXPECT_EQ(array.get(i)->getReferenceCount(), i < 2 ? 2 : 1);
}

} // namespace
} // namespace lumo
