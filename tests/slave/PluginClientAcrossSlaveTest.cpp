// A master talks to the real nebo_slave hosting nebo_demo, through the plugin client and the source client.
#include "boxed/CBoxedFixture.h"
#include "foundation/castObject.h"
#include "host/master/CNEBPluginClient.h"
#include "host/wire/ISourceServer.h"
#include "remote/CRemoteException.h"
#include "slave/CSlaveFixture.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::CNEBPluginClient;
using nebo::common::ISourceServer;
using nebo::test::extensionsOf;

class PluginClientAcrossSlaveTest : public nebo::test::CSlaveFixture {
protected:
    void SetUp() override
    {
        CSlaveFixture::SetUp();
        m_pipe = startServedSlave();
        ASSERT_TRUE(m_pipe);
        m_plugin =
            make<CNEBPluginClient>(m_pipe->getInStream(), m_pipe->getOutStream(), make<lumo::CMemoryManager>(30));
    }

    static P<lumo::CURI> demoURI(const std::string& query)
    {
        return make<lumo::CURI>(lumo::String::fromUTF8("file:///clips/test.demo?" + query));
    }

    P<lumo::IPipeClient> m_pipe;
    P<CNEBPluginClient> m_plugin;
};

// Until a source takes the pipe over, the plugin server answers all, and gives nothing for what it cannot serve.
TEST_F(PluginClientAcrossSlaveTest, PluginServerAnswersAndServesOn)
{
    // At level 2 the log holds only what confinement put in force and, where the system lacks a layer, what not.
    const std::string log = m_plugin->getLog().toUTF8();
    EXPECT_NE(log.find("<textlog>confinement in force; "), std::string::npos) << log;
    for (size_t at = log.find("<textlog>"); at != std::string::npos; at = log.find("<textlog>", at + 1))
        EXPECT_EQ(log.compare(at, 21, "<textlog>confinement "), 0) << log.substr(at);
    EXPECT_EQ(m_plugin->getPluginName().toUTF8(), "nebo_demo");
    EXPECT_EQ(m_plugin->getValidTypes(), 3);
    EXPECT_EQ(extensionsOf(*m_plugin->getValidExtensions(1)), std::vector<std::string>{"demo"});
    EXPECT_TRUE(extensionsOf(*m_plugin->getValidExtensions(8)).empty());
    EXPECT_EQ(m_plugin->tryCreateFormat(*demoURI(""), 8, false, nullptr), nullptr);
    for (int32_t types : {0, 4, 8})
        EXPECT_EQ(m_plugin->tryCreateSource(*demoURI(""), types, false, nullptr), nullptr) << types;
    // A URI the plugin does not take, or a query it refuses, is no failure either.
    EXPECT_EQ(m_plugin->tryCreateSource(*make<lumo::CURI>("file:///clips/test.avi"), 3, false, nullptr), nullptr);
    EXPECT_EQ(m_plugin->tryCreateSource(*demoURI("w=wide"), 3, false, nullptr), nullptr);
    EXPECT_EQ(m_plugin->getPluginName().toUTF8(), "nebo_demo");
}

TEST_F(PluginClientAcrossSlaveTest, SourceServerTakesOverThePipe)
{
    const nebo::common::INEBPlugin::SSourceParams params{16, 1, 2, 3};
    const P<nebo::common::ISource> source = m_plugin->tryCreateSource(*demoURI("w=64&h=32"), 3, false, &params);
    ASSERT_TRUE(source);
    try {
        m_plugin->getValidTypes();
        ADD_FAILURE() << "the plugin server still answers";
    } catch (const lumo::CRemoteException& error) {
        EXPECT_EQ(error.getGeneralDescription()->toUTF8(), "Remote Procedure not found on host: getValidTypes");
    }
    // These names exist on the source server too, which answers them now; it hands the log over once, with what
    // confining the slave could not do.
    EXPECT_EQ(m_plugin->getPluginName().toUTF8(), "nebo_demo");
    m_plugin->getLog();
    EXPECT_EQ(m_plugin->getLog().toUTF8(), "");
    EXPECT_EQ(lumo::castObject<nebo::common::IVideoSource>(source)->getWidth(), 64);

    // "Quit" now stops only the source server, which still answers; closing the pipe then ends the slave cleanly, its
    // error file emptied, as the confined slave may not remove it.
    m_plugin->quit();
    EXPECT_EQ(source->getURI()->getText().toUTF8(), "file:///clips/test.demo?w=64&h=32");
    m_server = nullptr;
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "");
}

TEST_F(PluginClientAcrossSlaveTest, PipeClosedUnderASourceWithoutQuitIsAnError)
{
    ASSERT_TRUE(m_plugin->tryCreateSource(*demoURI("w=64&h=32"), 3, false, nullptr));
    m_server = nullptr;
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "lumo::CException\nType: Error\ntext: Pipe was closed");
}

// The answers every source gives across the slave. Sizes, rates, pictures, sound and skipping are checked, byte for
// byte and in every layout, by the boxed source tests, which take this same path.
TEST_F(PluginClientAcrossSlaveTest, DemoClipAnswersAcrossTheSlave)
{
    const P<ISourceServer> source = lumo::castObject<ISourceServer>(
        m_plugin->tryCreateSource(*demoURI("w=8&h=4&fps=10&frames=3&rate=8000&channels=2&fmt=yv12"), 3, true, nullptr),
        false);
    ASSERT_TRUE(source);
    source->open();
    EXPECT_TRUE(source->isOpened());
    EXPECT_EQ(source->getFrameRateDen(), 1);
    EXPECT_EQ(source->getPixelAspectNum(), 1);
    EXPECT_EQ(source->getPixelAspectDen(), 1);
    EXPECT_DOUBLE_EQ(source->getFrameDuration(), 0.1);
    EXPECT_DOUBLE_EQ(source->getDuration(), 0.3);
    EXPECT_EQ(source->getBufferStatus(), 100);
    EXPECT_EQ(source->getChannelCount(), 2);
    EXPECT_EQ(source->getBytesPerSample(), 2);
    const P<nebo::common::INEBPicture> picture = source->getNextPicture();
    ASSERT_TRUE(picture);
    EXPECT_FALSE(picture->isBottomUp());
    source->close();
    EXPECT_FALSE(source->isOpened());
}

} // namespace
