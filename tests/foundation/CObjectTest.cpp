#include "foundation/CObject.h"

#include "foundation/String.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CCounted : public CObject {
public:
    explicit CCounted(int& destructions) : m_destructions(destructions) {}
    ~CCounted() override { ++m_destructions; }

private:
    int& m_destructions;
};

// Hands itself to functions taking a P while it dies, as cleanup code does.
class CSelfReferencing : public CCounted {
public:
    using CCounted::CCounted;
    ~CSelfReferencing() override
    {
        P<IBase> temporary(this);
        P<IBase> another = temporary;
        countSeenWhileDying = getReferenceCount();
    }
    static inline int32_t countSeenWhileDying = 0;
};

TEST(CObjectTest, NewObjectStartsWithOneReferenceAndDiesOnce)
{
    int destructions = 0;
    {
        P<CCounted> object = make<CCounted>(destructions);
        EXPECT_EQ(object->getReferenceCount(), 1);
        P<IBase> second = object;
        EXPECT_EQ(object->getReferenceCount(), 2);
    }
    EXPECT_EQ(destructions, 1);
}

TEST(CObjectTest, TemporaryReferencesInTheDestructorDoNotDestroyAgain)
{
    int destructions = 0;
    make<CSelfReferencing>(destructions);
    EXPECT_EQ(destructions, 1);
    EXPECT_LT(CSelfReferencing::countSeenWhileDying, 0);
}

TEST(CObjectTest, DescribesItselfByItsClassName)
{
    int destructions = 0;
    P<CCounted> object = make<CCounted>(destructions);
    EXPECT_EQ(String(object->toString()).toUTF8(), "class lumo::(anonymous namespace)::CCounted object");
    EXPECT_EQ(getClassName(typeid(CObject)), "class lumo::CObject");
}

TEST(CObjectTest, OffersEveryInterfaceItDerivesFrom)
{
    P<CObject> object = make<CObject>();
    P<IBase> redirect;
    IBase::Candidates candidates;
    EXPECT_TRUE(object->getInterface(typeid(IBase), redirect, candidates));
    EXPECT_FALSE(redirect);
    EXPECT_TRUE(candidates.empty());
}

} // namespace
} // namespace lumo
