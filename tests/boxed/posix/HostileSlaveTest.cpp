// The master's classes against a stand-in slave that lies as it is told:
// every lie ends within the time limit in a CNEBError, with no process,
// socket or empty error file left behind and the master's memory bounded.
#include "boxed/CBoxedFixture.h"
#include "foundation/CException.h"
#include "host/CEncapsulatedSource.h"
#include "host/CNEBPluginBoxed.h"
#include "host/CSlaveError.h"
#include "host/CSlaveHandler.h"
#include "media/INEBPicture.h"
#include "streams/IMemoryBlock.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using namespace nebo::common;
using nebo::test::descriptionOf;

constexpr int32_t testTimeoutMs = 1500;
#ifdef __SANITIZE_ADDRESS__
// The sanitizer's shadow memory and quarantine are no part of the master's,
// but they count in its resident size.
constexpr int64_t peakResidentLimitKB = 1024 * 1024;
#else
constexpr int64_t peakResidentLimitKB = 256 * 1024;
#endif

// Where the request goes wrong.
enum class EStage { startUp, extensions, open, picture, secondHeldPicture };

struct SHostileCase {
    const char* mode;
    EStage stage;
    // A part of the error's description.
    std::string expected;
};

std::string timeLimitError(const char* call)
{
    return std::string("nebo_slave did not answer \"") + call + "\" within " + std::to_string(testTimeoutMs) +
           " ms and was ended";
}

int64_t peakResidentKB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    return -1;
}

std::string hostileProgram()
{
    return (nebo::test::binFolder() / "hostile-slave" / "nebo_slave").string();
}

class HostileSlaveTest : public nebo::test::CBoxedFixture {
protected:
    HostileSlaveTest() : m_owner(ownerVariable, std::to_string(getpid()).c_str())
    {
        m_context->setSlaveProgram(make<lumo::CURI>(String::fromUTF8("file://" + hostileProgram())));
        SSlaveLimits limits;
        limits.timeoutMs = testTimeoutMs;
        m_context->setSlaveLimits(limits);
    }

    // Goes as far as `stage` with the stand-in in `mode`.
    void reach(const char* mode, EStage stage)
    {
        const lumo::CScopedEnvironment hostileMode("NEBO_HOSTILE_MODE", mode);
        if (stage == EStage::startUp) {
            make<CSlaveHandler>(m_context, String("hostile"), 0)->getClient();
        } else if (stage == EStage::extensions) {
            make<CNEBPluginBoxed>(m_context, String("hostile"))->getValidExtensions(3);
        } else {
            const P<CEncapsulatedSource> source =
                make<CEncapsulatedSource>(m_context, String("hostile"), *demoURI("w=64&h=48"), 3, nullptr);
            source->open();
            const P<INEBPicture> first = stage >= EStage::picture ? source->getNextPicture() : nullptr;
            if (stage == EStage::secondHeldPicture)
                source->getNextPicture();
        }
    }

    // No stand-in of this test runs any more; stand-ins of tests running
    // beside it may.
    static bool noStandInRuns()
    {
        return nebo::test::noProcessRuns(hostileProgram(),
                                         std::string(ownerVariable) + "=" + std::to_string(getpid()));
    }

    // Error files stay only when the slave wrote to them.
    void expectNoEmptyErrorFile()
    {
        for (const std::string& name : errorFiles())
            EXPECT_GT(std::filesystem::file_size(m_temp.pathOf(name)), 0u) << name;
    }

    // Slaves take NEBO_* variables along, and so marked belong to this test.
    static constexpr const char* ownerVariable = "NEBO_TEST_OWNER";
    lumo::CScopedEnvironment m_owner;
    // The shared modes lie only to a master that offers shared buffers.
    lumo::CScopedEnvironment m_sharedPictures{"NEBO_SHARED_PICTURES", "on"};
};

TEST_F(HostileSlaveTest, EveryLieEndsInAClearErrorWithinTheLimit)
{
    m_context->setPrefetch(false);
    const SHostileCase cases[] = {
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
        {"forked-holder", EStage::startUp, "exit code 0"},
        {"exit", EStage::startUp, "exit code 3"},
        {"hang-in-picture", EStage::picture, timeLimitError("getNextPicture")},
        {"shared-bad-index", EStage::picture, "shared picture buffer 6, where there are 6"},
        {"shared-bad-offset", EStage::picture, "12288 bytes at offset 12272 of a shared picture buffer of 12288"},
        {"shared-bad-length", EStage::picture, "with 12287 bytes for 64x48 pixels"},
        {"shared-held-buffer", EStage::secondHeldPicture, "buffer 0, which a picture of the master still holds"},
    };
    for (const SHostileCase& test : cases) {
        SCOPED_TRACE(test.mode);
        try {
            reach(test.mode, test.stage);
            ADD_FAILURE() << "the lie went unnoticed";
        } catch (const CNEBError& error) {
            EXPECT_NE(descriptionOf(error).find(test.expected), std::string::npos) << descriptionOf(error);
        } catch (const lumo::CException& error) {
            ADD_FAILURE() << "not a CNEBError: " << descriptionOf(error);
        }
        EXPECT_TRUE(noStandInRuns());
        expectNoEmptyErrorFile();
    }
    EXPECT_LT(peakResidentKB(), peakResidentLimitKB);
}

TEST_F(HostileSlaveTest, SlaveWithoutHangReportEndsInThePlainTimeLimitError)
{
    m_context->setPrefetch(false);
    // One dies of the request, the other ignores it and is killed after the
    // master's short wait.
    for (const char* mode : {"hang-in-picture", "hang-ignoring-report"}) {
        SCOPED_TRACE(mode);
        try {
            reach(mode, EStage::picture);
            ADD_FAILURE() << "the hang went unnoticed";
        } catch (const CSlaveError& error) {
            ADD_FAILURE() << "a report from a slave that wrote none: " << error.getSummary().toUTF8();
        } catch (const CNEBError& error) {
            EXPECT_EQ(descriptionOf(error), "CSlaveHandler: " + timeLimitError("getNextPicture"));
        }
        EXPECT_TRUE(noStandInRuns());
        expectNoEmptyErrorFile();
    }
}

// Had a buffer lost pages to the slave, reading them would fault the master.
// The honest stand-in, which serves on the pipe alone, shows that what the
// lies above break is the master's expectation, not the stand-in's protocol.
TEST_F(HostileSlaveTest, HonestOrResizingStandInServesEveryPictureWhole)
{
    for (const char* mode : {"honest", "shared-honest", "shared-shrink"}) {
        SCOPED_TRACE(mode);
        const lumo::CScopedEnvironment hostileMode("NEBO_HOSTILE_MODE", mode);
        const P<CEncapsulatedSource> source =
            make<CEncapsulatedSource>(m_context, String("hostile"), *demoURI("w=64&h=48"), 3, nullptr);
        source->open();
        EXPECT_EQ(source->getWidth(), 64);
        for (int32_t picture = 0; picture < 3; ++picture) {
            const P<INEBPicture> got = source->getNextPicture();
            ASSERT_TRUE(got);
            const P<lumo::IMemoryBlock> pixels = got->getRGBData(0, 0, 64, 48);
            ASSERT_EQ(pixels->getSize(), 64 * 48 * 4);
            int32_t wrong = 0;
            for (int32_t i = 0; i < 64 * 48; ++i) {
                const uint8_t* pixel = pixels->getData() + 4 * i;
                wrong += pixel[0] != uint8_t(i % 64 * 4) || pixel[1] != uint8_t(i / 64 * 5) ||
                         pixel[2] != uint8_t(picture * 10) || pixel[3] != 0xFF;
            }
            EXPECT_EQ(wrong, 0) << picture;
        }
        source->close();
        source->open();
        source->close();
    }
    EXPECT_TRUE(noStandInRuns());
    expectNoEmptyErrorFile();
}

} // namespace
