#pragma once

// The master's classes against a stand-in slave that lies as it is told (support/hostileSlave): every lie ends within
// the time limit in a CNEBError, with no process or empty error file left behind and the master's memory bounded.
#include "boxed/CBoxedFixture.h"
#include "host/master/CEncapsulatedSource.h"
#include "host/master/CNEBPluginBoxed.h"
#include "host/master/CSlaveHandler.h"
#include "media/CNEBError.h"
#include "media/INEBPicture.h"
#include "platform/fileNameSuffixes.h"
#include "streams/IMemoryBlock.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nebo::test {

// Where the request goes wrong.
enum class EStage { startUp, extensions, open, picture, secondHeldPicture };

struct SHostileCase {
    const char* mode;
    EStage stage;
    // A part of the error's description, or all of it.
    std::string expected;
    bool bWhole = false;
};

class CHostileSlaveFixture : public CBoxedFixture {
protected:
    static constexpr int32_t testTimeoutMs = 1500;

    CHostileSlaveFixture()
    {
        m_context->setSlaveProgram(lumo::CURI::fromNativePath(lumo::String::fromUTF8(hostileProgram())));
        setLimits(testTimeoutMs);
    }

    static std::string hostileProgram()
    {
        return (binFolder() / "hostile-slave" / (std::string("nebo_slave") + lumo::getProgramSuffix())).u8string();
    }

    static std::string timeLimitError(const char* call)
    {
        return std::string("nebo_slave did not answer \"") + call + "\" within " + std::to_string(testTimeoutMs) +
               " ms and was ended";
    }

    // Goes as far as `stage` with the stand-in in `mode`.
    void reach(const char* mode, EStage stage)
    {
        using namespace common;
        const lumo::CScopedEnvironment hostileMode("NEBO_HOSTILE_MODE", mode);
        if (stage == EStage::startUp) {
            lumo::make<CSlaveHandler>(m_context, lumo::String("hostile"), 0)->getClient();
        } else if (stage == EStage::extensions) {
            lumo::make<CNEBPluginBoxed>(m_context, lumo::String("hostile"))->getValidExtensions(3);
        } else {
            const lumo::P<CEncapsulatedSource> source =
                lumo::make<CEncapsulatedSource>(m_context, lumo::String("hostile"), *demoURI("w=64&h=48"), 3, nullptr);
            source->open();
            const lumo::P<INEBPicture> first = stage >= EStage::picture ? source->getNextPicture() : nullptr;
            if (stage == EStage::secondHeldPicture)
                source->getNextPicture();
        }
    }

    void expectEachLieEndsInAClearError(const std::vector<SHostileCase>& cases)
    {
        for (const SHostileCase& test : cases) {
            SCOPED_TRACE(test.mode);
            try {
                reach(test.mode, test.stage);
                ADD_FAILURE() << "the lie went unnoticed";
            } catch (const common::CNEBError& error) {
                if (test.bWhole) {
                    EXPECT_EQ(descriptionOf(error), test.expected);
                } else {
                    EXPECT_NE(descriptionOf(error).find(test.expected), std::string::npos) << descriptionOf(error);
                }
            }
            EXPECT_EQ(slaveProcesses(), std::vector<uint32_t>());
            expectNoEmptyErrorFile();
        }
    }

    // Three pictures of the honest plugin, every pixel as it drew it, over two openings of the source; no empty error
    // file left.
    void expectWholePictures(const char* mode)
    {
        SCOPED_TRACE(mode);
        const lumo::CScopedEnvironment hostileMode("NEBO_HOSTILE_MODE", mode);
        const lumo::P<common::CEncapsulatedSource> source = lumo::make<common::CEncapsulatedSource>(
            m_context, lumo::String("hostile"), *demoURI("w=64&h=48"), 3, nullptr);
        source->open();
        EXPECT_EQ(source->getWidth(), 64);
        for (int32_t picture = 0; picture < 3; ++picture) {
            const lumo::P<common::INEBPicture> got = source->getNextPicture();
            ASSERT_TRUE(got);
            const lumo::P<lumo::IMemoryBlock> pixels = got->getRGBData(0, 0, 64, 48);
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
        expectNoEmptyErrorFile();
    }

    // Error files stay only when the slave wrote to them.
    void expectNoEmptyErrorFile()
    {
        for (const std::string& name : errorFiles())
            EXPECT_GT(std::filesystem::file_size(std::filesystem::u8path(m_temp.pathOf(name))), 0u) << name;
    }
};

} // namespace nebo::test
