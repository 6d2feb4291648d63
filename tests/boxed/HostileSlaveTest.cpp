#include "boxed/CHostileSlaveFixture.h"

#include <gtest/gtest.h>

namespace {

using nebo::test::EStage;

#ifdef __SANITIZE_ADDRESS__
// The sanitizer's shadow memory and quarantine are no part of the master's, but they count in its resident size.
constexpr int64_t peakResidentLimitKB = 1024 * 1024;
#else
constexpr int64_t peakResidentLimitKB = 256 * 1024;
#endif

class HostileSlaveTest : public nebo::test::CHostileSlaveFixture {};

TEST_F(HostileSlaveTest, EveryLieEndsInAClearErrorWithinTheLimit)
{
    m_context->setPrefetch(false);
    expectEachLieEndsInAClearError({
        {"silent", EStage::startUp, timeLimitError("getLog")},
        {"half-reply", EStage::startUp, timeLimitError("getLog")},
        {"drip", EStage::startUp, timeLimitError("getLog")},
        {"count-then-silence", EStage::startUp, "4294967295"},
        {"huge-log", EStage::startUp, "2147483647"},
        {"flood-extensions", EStage::extensions, "20000000"},
        {"huge-announce", EStage::picture, "16385"},
        {"huge-picture", EStage::picture, "23170"},
        {"huge-error", EStage::open, "536870912"},
        {"sparse-error-file", EStage::startUp, "[the error file holds 1073741824 bytes; only the first 1048576"},
        {"exit", EStage::startUp, "exit code 3"},
        // Neither answers the picture nor writes a hang report: one has no handler for the request, the other
        // lets it arrive unanswered; the whole description shows that no report was attached.
        {"hang-in-picture", EStage::picture, "CSlaveHandler: " + timeLimitError("getNextPicture"), true},
        {"hang-ignoring-report", EStage::picture, "CSlaveHandler: " + timeLimitError("getNextPicture"), true},
    });
    EXPECT_LT(nebo::test::peakResidentKB(), peakResidentLimitKB);
}

// The lies break the master's expectation, not the stand-in's protocol: told none, it serves every picture whole.
TEST_F(HostileSlaveTest, HonestStandInServesEveryPictureWhole) { expectWholePictures("honest"); }

} // namespace
