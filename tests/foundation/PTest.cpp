#include "foundation/P.h"

#include "foundation/CObject.h"
#include "foundation/PFrail.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class CCounted : public CObject {
public:
    explicit CCounted(int& destructions) : m_destructions(destructions) {}
    ~CCounted() override { ++m_destructions; }
    int value() const { return 7; }

private:
    int& m_destructions;
};

TEST(PTest, SelfAssignmentKeepsTheObjectAlive)
{
    int destructions = 0;
    P<CCounted> object = make<CCounted>(destructions);
    P<CCounted>& alias = object;
    object = alias;
    object = object.get();
    EXPECT_EQ(destructions, 0);
    EXPECT_EQ(object->getReferenceCount(), 1);
}

TEST(PTest, AssignmentCountsTheNewTargetAndReleasesTheOld)
{
    int first = 0;
    int second = 0;
    P<CCounted> a = make<CCounted>(first);
    P<CCounted> b = make<CCounted>(second);
    a = b;
    EXPECT_EQ(first, 1);
    EXPECT_EQ(b->getReferenceCount(), 2);
    a = nullptr;
    EXPECT_EQ(b->getReferenceCount(), 1);
}

TEST(PTest, MovingHandsTheReferenceOver)
{
    int destructions = 0;
    P<CCounted> a = make<CCounted>(destructions);
    P<IBase> b = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(dynamic_cast<CCounted*>(b.get())->getReferenceCount(), 1);
    b = nullptr;
    EXPECT_EQ(destructions, 1);
}

TEST(PTest, RawPointerConstructionCountsButAdoptionDoesNot)
{
    int destructions = 0;
    CCounted* raw = new CCounted(destructions);
    {
        P<CCounted> adopted(adopt, raw);
        P<CCounted> counted(raw);
        EXPECT_EQ(raw->getReferenceCount(), 2);
    }
    EXPECT_EQ(destructions, 1);
}

TEST(PTest, ConstPointerCountsLikeP)
{
    int destructions = 0;
    P<CCounted> object = make<CCounted>(destructions);
    {
        PC<CCounted> constant = object;
        EXPECT_EQ(constant->value(), 7);
        EXPECT_EQ(object->getReferenceCount(), 2);
    }
    EXPECT_EQ(object->getReferenceCount(), 1);
}

TEST(PFrailTest, WeakPointerNeverCounts)
{
    int destructions = 0;
    P<CCounted> object = make<CCounted>(destructions);
    PFrail<CCounted> weak(object.get(), false);
    PFrail<CCounted> copy = weak;
    EXPECT_FALSE(copy.isStrong());
    EXPECT_EQ(copy.get(), object.get());
    EXPECT_EQ(object->getReferenceCount(), 1);
}

TEST(PFrailTest, StrongPointerCountsAndCopiesItsFlag)
{
    int destructions = 0;
    PFrail<CCounted> strong;
    {
        P<CCounted> object = make<CCounted>(destructions);
        strong = PFrail<CCounted>(object.get(), true);
        PFrail<CCounted> copy = strong;
        EXPECT_TRUE(copy.isStrong());
        EXPECT_EQ(object->getReferenceCount(), 3);
    }
    EXPECT_EQ(destructions, 0);
    strong = PFrail<CCounted>();
    EXPECT_EQ(destructions, 1);
}

} // namespace
} // namespace lumo
