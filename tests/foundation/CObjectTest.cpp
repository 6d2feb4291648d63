#include "foundation/CObject.h"

#include "CLifeProbe.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// Hands itself to functions taking a P while it dies, as cleanup code does.
class CSelfReferencing : public CLifeProbe {
public:
    using CLifeProbe::CLifeProbe;
    ~CSelfReferencing() override
    {
        P<IBase> temporary(this);
        P<IBase> another = temporary;
        countSeenWhileDying = getReferenceCount();
    }
    static inline int32_t countSeenWhileDying = 0;
};

TEST(CObjectTest, DiesOnceEvenWhenItsDestructorTakesReferences)
{
    int destructions = 0;
    make<CSelfReferencing>(destructions);
    EXPECT_EQ(destructions, 1);
    EXPECT_LT(CSelfReferencing::countSeenWhileDying, 0);
}

} // namespace
} // namespace lumo
