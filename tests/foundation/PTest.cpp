#include "foundation/P.h"

#include "CLifeProbe.h"
#include "foundation/PFrail.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(PTest, AssignmentCountsTheNewTargetReleasesTheOldAndSurvivesSelfAssignment)
{
    int first = 0, second = 0;
    P<CLifeProbe> a = make<CLifeProbe>(first);
    P<CLifeProbe>& alias = a;
    a = alias;
    a = a.get();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(a->getReferenceCount(), 1);

    P<CLifeProbe> b = make<CLifeProbe>(second);
    a = b;
    EXPECT_EQ(first, 1);
    EXPECT_EQ(b->getReferenceCount(), 2);
    // Moving hands the reference over.
    P<IBase> moved = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(b->getReferenceCount(), 2);
    moved = nullptr;
    EXPECT_EQ(b->getReferenceCount(), 1);
}

TEST(PTest, RawPointerConstructionCountsButAdoptionDoesNotAndPCCountsLikeP)
{
    int destructions = 0;
    CLifeProbe* raw = new CLifeProbe(destructions);
    {
        P<CLifeProbe> adopted(adopt, raw);
        P<CLifeProbe> counted(raw);
        EXPECT_EQ(raw->getReferenceCount(), 2);
        PC<CLifeProbe> constant = counted;
        EXPECT_EQ(constant->getReferenceCount(), 3);
    }
    EXPECT_EQ(destructions, 1);
}

TEST(PFrailTest, OnlyAStrongPointerCountsAndCopiesKeepTheirFlag)
{
    int destructions = 0;
    PFrail<CLifeProbe> strong;
    {
        P<CLifeProbe> object = make<CLifeProbe>(destructions);
        PFrail<CLifeProbe> weak(object.get(), false);
        PFrail<CLifeProbe> weakCopy = weak;
        EXPECT_FALSE(weakCopy.isStrong());
        EXPECT_EQ(object->getReferenceCount(), 1);

        strong = PFrail<CLifeProbe>(object.get(), true);
        PFrail<CLifeProbe> strongCopy = strong;
        EXPECT_TRUE(strongCopy.isStrong());
        EXPECT_EQ(object->getReferenceCount(), 3);
    }
    EXPECT_EQ(destructions, 0);
    strong = PFrail<CLifeProbe>();
    EXPECT_EQ(destructions, 1);
}

} // namespace
} // namespace lumo
