#include "host/master/CSlaveHandler.h"

#include "CSlaveHandlerFixture.h"
#include "expectError.h"
#include "host/master/CSlaveError.h"
#include "media/CNEBError.h"
#include "platform/fileNameSuffixes.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace nebo::common;
using lumo::P;
using lumo::String;

namespace {

std::string pathOf(const CSlaveHandler& handler) { return handler.getErrorFile()->getNativePath().toUTF8(); }

TEST_F(CSlaveHandlerTest, ErrorFileIsMadeEmptyInTheTemporaryFolderAndNoErrorWhileEmptyOrGone)
{
    const P<CSlaveHandler> handler = makeHandler();
    const std::filesystem::path file(pathOf(*handler));
    const std::filesystem::path temporary = std::filesystem::path(m_withoutSlave.errorFiles.pathOf("")).parent_path();
    // A launcher's slaves keep theirs in the launcher's folder there.
    EXPECT_TRUE(file.parent_path() == temporary || file.parent_path().parent_path() == temporary) << file;
    EXPECT_TRUE(std::regex_match(file.filename().string(), std::regex("nebo_slave_[0-9A-F]{8}_log"))) << file;
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    handler->checkForSlaveError();
    handler->checkForSlaveFailure();
    // A slave that ended cleanly has deleted its file.
    std::filesystem::remove(file);
    handler->checkForSlaveError();
}

TEST_F(CSlaveHandlerTest, LargeErrorFileIsCutAtTheLimitAndSaysSo)
{
    SSlaveLimits limits;
    limits.maxErrorFileBytes = 21;
    m_context->setSlaveLimits(limits);
    const P<CSlaveHandler> handler = makeHandler();
    const std::string path = pathOf(*handler);
    // Sparse: what the slave claims costs it no disk, and must cost the master no memory.
    std::ofstream(path, std::ios::binary) << "lumo::CException\nType: Error\ntext: gone";
    std::filesystem::resize_file(path, 1 << 30);
    lumo::expectThrow<CSlaveError>(
        [&] { handler->checkForSlaveError(); },
        [&](const CSlaveError& error) {
            EXPECT_EQ(
                String(error.getDescription()).toUTF8(),
                "CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\nlumo::CException\nType"
                "\n\n[the error file holds 1073741824 bytes; only the first 21 are shown here; the whole text is in " +
                    path + "]");
            EXPECT_EQ(error.getSummary().toUTF8(), "lumo::CException\nType");
            EXPECT_EQ(error.getErrorFilePath().toUTF8(), path);
        });
}

TEST_F(CSlaveHandlerTest, SlaveThatEndsBeforeConnectingIsReportedWithItsExitCode)
{
    // Were the slave's end not noticed, the wait would last the whole limit.
    SSlaveLimits limits;
    limits.timeoutMs = 600000;
    m_context->setSlaveLimits(limits);
    // The process tests' program takes the slave's first word for a request it does not know and ends with 100.
    const std::string program = "nebo_process_child" + std::string(lumo::getProgramSuffix());
    m_context->setSlaveProgram(lumo::CURI::fromNativePath(
        String::fromUTF8((nebo::test::binFolder() / "platform-tests" / program).u8string())));
    lumo::expectError<CNEBError>(
        "CNEBPluginBoxed::checkForSlaveFailure: nebo_slave ended with exit code 100 and left no error text",
        [&] { makeHandler()->getClient(); });
}

} // namespace
