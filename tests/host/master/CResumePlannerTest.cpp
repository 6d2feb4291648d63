#include "host/master/CResumePlanner.h"

#include "expectError.h"
#include "media/CNEBError.h"

#include <gtest/gtest.h>

namespace {

using nebo::common::CResumePlanner;
using Side = CResumePlanner::ESide;

constexpr double pictureStep = 0.04;
constexpr double chunkStep = 0.02;

double stepOf(Side side, int32_t) { return side == Side::pictures ? pictureStep : chunkStep; }

// The failed side goes on half a step past the failed item; the other drops what it handed out, or starts there.
TEST(CResumePlannerTest, PlansTheResumeAfterTheFailedItemAndKeepsBothSidesInOrder)
{
    const struct {
        const char* name;
        double placedAt;
        std::optional<double> lastPicture, lastChunk;
        Side failed;
        double resume;
        // The other side's items: one dropped (none when it read nothing and starts at the resume), one kept.
        std::optional<double> otherDropped;
        double otherKept;
    } cases[] = {
        {"pictures fail, sound ahead", 0.0, 0.40, 0.45, Side::pictures, 0.46, 0.455, 0.47},
        {"sound fails, pictures ahead", 0.0, 0.40, 0.20, Side::sound, 0.23, 0.41, 0.43},
        {"nothing handed out since a skip", 2.0, std::nullopt, std::nullopt, Side::pictures, 2.02, std::nullopt, 2.0},
        {"the other side read nothing yet", 0.0, 0.40, std::nullopt, Side::pictures, 0.46, std::nullopt, 0.1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        CResumePlanner planner;
        planner.placeAt(test.placedAt);
        if (test.lastPicture) {
            ASSERT_TRUE(planner.keep(Side::pictures, *test.lastPicture, 0));
        }
        if (test.lastChunk) {
            ASSERT_TRUE(planner.keep(Side::sound, *test.lastChunk, 4096));
        }
        EXPECT_NEAR(planner.plan(test.failed, stepOf, lumo::String("clip")), test.resume, 1e-9);
        const Side other = test.failed == Side::pictures ? Side::sound : Side::pictures;
        EXPECT_FALSE(planner.keep(test.failed, test.resume - 0.001, 0)) << "a repeat of the failed side";
        EXPECT_TRUE(planner.keep(test.failed, test.resume + 0.001, 0));
        if (test.otherDropped) {
            EXPECT_FALSE(planner.keep(other, *test.otherDropped, 0));
        }
        EXPECT_TRUE(planner.keep(other, test.otherKept, 0));
        EXPECT_TRUE(planner.keep(other, test.otherKept - 1.0, 0)) << "a kept item ends the dropping";
    }
}

TEST(CResumePlannerTest, TheLastChunkSetsTheSoundStepAndAStepOfNoLengthCannotResume)
{
    CResumePlanner planner;
    ASSERT_TRUE(planner.keep(Side::sound, 1.0, 8000));
    int32_t askedBytes = -1;
    const auto stepAfter = [&](Side, int32_t lastBytes) {
        askedBytes = lastBytes;
        return 0.1;
    };
    planner.plan(Side::sound, stepAfter, lumo::String());
    EXPECT_EQ(askedBytes, 8000);

    const std::string noLength = "cannot resume \"clip\": the plugin tells no length of its pictures or sound";
    for (const double step : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        const auto stepOf = [step](Side, int32_t) { return step; };
        lumo::expectError<nebo::common::CNEBError>(noLength, [&] { planner.plan(Side::pictures, stepOf, "\"clip\""); });
    }
}

} // namespace
