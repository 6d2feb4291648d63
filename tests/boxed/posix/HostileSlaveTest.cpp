// The lies that need POSIX: a fork that keeps the connection, and pipes that carry shared picture buffers.
#include "boxed/CHostileSlaveFixture.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using nebo::test::EStage;

class HostileSlavePosixTest : public nebo::test::CHostileSlaveFixture {
protected:
    // No stand-in of this test runs, wherever a fork moved it; stand-ins of tests running beside it may.
    static bool noStandInRuns()
    {
        return nebo::test::noProcessRuns(hostileProgram(), std::string(ownerVariable) + "=" + std::to_string(getpid()));
    }

    // Slaves take NEBO_* variables along, and so marked belong to this test.
    static constexpr const char* ownerVariable = "NEBO_TEST_OWNER";
    lumo::CScopedEnvironment m_owner{ownerVariable, std::to_string(getpid()).c_str()};
    // The shared modes lie only to a master that offers shared buffers.
    lumo::CScopedEnvironment m_sharedPictures{"NEBO_SHARED_PICTURES", "on"};
};

TEST_F(HostileSlavePosixTest, EveryLieEndsInAClearErrorWithinTheLimit)
{
    m_context->setPrefetch(false);
    expectEachLieEndsInAClearError({
        {"forked-holder", EStage::startUp, "exit code 0"},
        {"shared-bad-index", EStage::picture, "shared picture buffer 6, where there are 6"},
        {"shared-bad-offset", EStage::picture, "12288 bytes at offset 12272 of a shared picture buffer of 12288"},
        {"shared-bad-length", EStage::picture, "with 12287 bytes for 64x48 pixels"},
        {"shared-held-buffer", EStage::secondHeldPicture, "buffer 0, which a picture of the master still holds"},
    });
    EXPECT_TRUE(noStandInRuns());
}

// Had a buffer lost pages to the slave, reading them would fault the master.
TEST_F(HostileSlavePosixTest, SharingOrResizingStandInServesEveryPictureWhole)
{
    for (const char* mode : {"shared-honest", "shared-shrink"})
        expectWholePictures(mode);
    EXPECT_TRUE(noStandInRuns());
}

} // namespace
