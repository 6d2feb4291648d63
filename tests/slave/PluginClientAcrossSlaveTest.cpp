// A master talks to the real nebo_slave hosting nebo_demo, through the
// plugin client and the source client.
#include "foundation/CFinishedError.h"
#include "foundation/castObject.h"
#include "host/CNEBPluginClient.h"
#include "host/ISourceServer.h"
#include "remote/CRemoteException.h"
#include "remote/CRemoteVarStruct.h"
#include "slave/CSlaveFixture.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::CNEBPluginClient;
using nebo::common::INEBPicture;
using nebo::common::ISource;
using nebo::common::ISourceServer;

std::vector<std::string> extensionsOf(nebo::common::IPluginExtensions& extensions)
{
    std::vector<std::string> texts;
    for (int32_t i = 0; i < extensions.getExtensionCount(); ++i)
        texts.push_back(lumo::String::fromUTF16(extensions.getExtension(i)).toUTF8());
    return texts;
}

class PluginClientAcrossSlaveTest : public nebo::test::CSlaveFixture {
protected:
    P<CNEBPluginClient> startPlugin(int logLevel = 2)
    {
        m_pipe = startServedSlave("nebo_demo", logLevel);
        if (!m_pipe)
            return nullptr;
        return make<CNEBPluginClient>(m_pipe->getInStream(), m_pipe->getOutStream(),
                                      make<lumo::CMemoryManager>(30));
    }

    // The source the slave made for a demo clip with `query`.
    P<ISourceServer> startSource(const std::string& query)
    {
        P<CNEBPluginClient> plugin = startPlugin();
        if (!plugin)
            return nullptr;
        const P<ISource> source = plugin->tryCreateSource(*demoURI(query), 3, true, nullptr);
        return lumo::castObject<ISourceServer>(source, false);
    }

    static P<lumo::CURI> demoURI(const std::string& query)
    {
        return make<lumo::CURI>(lumo::String::fromUTF8("file:///clips/test.demo?" + query));
    }

    P<lumo::IPipeClient> m_pipe;
};

TEST_F(PluginClientAcrossSlaveTest, PluginAnswersItsFunctions)
{
    P<CNEBPluginClient> plugin = startPlugin();
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->getPluginName().toUTF8(), "nebo_demo");
    EXPECT_EQ(plugin->getValidTypes(), 3);
    EXPECT_EQ(extensionsOf(*plugin->getValidExtensions(1)), std::vector<std::string>{"demo"});
    EXPECT_EQ(extensionsOf(*plugin->getValidExtensions(2)), std::vector<std::string>{"demo"});
    EXPECT_TRUE(extensionsOf(*plugin->getValidExtensions(8)).empty());
    EXPECT_EQ(plugin->tryCreateFormat(*demoURI(""), 8, false, nullptr), nullptr);
}

TEST_F(PluginClientAcrossSlaveTest, RequestsWithoutSourceBitsGiveNothingAndServingGoesOn)
{
    P<CNEBPluginClient> plugin = startPlugin();
    ASSERT_TRUE(plugin);
    for (int32_t types : {0, 4, 8})
        EXPECT_EQ(plugin->tryCreateSource(*demoURI(""), types, false, nullptr), nullptr) << types;
    // A URI the plugin does not take is no failure either.
    EXPECT_EQ(plugin->tryCreateSource(*make<lumo::CURI>("file:///clips/test.avi"), 3, false, nullptr), nullptr);
    EXPECT_EQ(plugin->getPluginName().toUTF8(), "nebo_demo");
}

TEST_F(PluginClientAcrossSlaveTest, LogIsHandedOverOnce)
{
    P<CNEBPluginClient> plugin = startPlugin(2);
    ASSERT_TRUE(plugin);
    EXPECT_EQ(plugin->getLog().toUTF8(), "");
    EXPECT_EQ(plugin->tryCreateSource(*demoURI("w=wide"), 3, false, nullptr), nullptr);
    const std::string log = plugin->getLog().toUTF8();
    EXPECT_NE(log.find("<slavelog>"), std::string::npos) << log;
    EXPECT_NE(log.find("level=\"info\""), std::string::npos) << log;
    EXPECT_NE(log.find("w=wide"), std::string::npos) << log;
    EXPECT_EQ(plugin->getLog().toUTF8(), "");
}

TEST_F(PluginClientAcrossSlaveTest, SourceServerTakesOverThePipe)
{
    P<CNEBPluginClient> plugin = startPlugin();
    ASSERT_TRUE(plugin);
    const nebo::common::INEBPlugin::SSourceParams params{16, 1, 2, 3};
    const P<ISource> source = plugin->tryCreateSource(*demoURI("w=64&h=32"), 3, false, &params);
    ASSERT_TRUE(source);
    try {
        plugin->getValidTypes();
        ADD_FAILURE() << "the plugin server still answers";
    } catch (const lumo::CRemoteException& error) {
        EXPECT_EQ(error.getGeneralDescription()->toUTF8(), "Remote Procedure not found on host: getValidTypes");
    }
    // These names exist on the source server too, which answers them now.
    EXPECT_EQ(plugin->getPluginName().toUTF8(), "nebo_demo");
    EXPECT_EQ(plugin->getLog().toUTF8(), "");
    EXPECT_EQ(lumo::castObject<nebo::common::IVideoSource>(source)->getWidth(), 64);

    // "Quit" now stops only the source server; the slave ends once the pipe closes.
    plugin->quit();
    EXPECT_EQ(source->getURI()->getText().toUTF8(), "file:///clips/test.demo?w=64&h=32");
    m_server = nullptr;
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "lumo::CException\nType: Error\ntext: Pipe was closed");
}

// A source request whose parameter record has another size.
class CShortParamsFunction : public lumo::CRemoteFunction {
public:
    struct SShortParams {
        int32_t values[3] = {12, 0, 0};
    };

    CShortParamsFunction() : CRemoteFunction("tryCreateSource")
    {
        addParameter(make<lumo::CRemoteVarURI>("uri", make<lumo::CURI>("file:///clips/test.demo")));
        addParameter(make<lumo::CRemoteVarInteger>("nTypes", 3));
        addParameter(make<lumo::CRemoteVarBool>("bDontCloseAfterTesting", false));
        addParameter(make<lumo::CRemoteVarStruct<SShortParams>>("pParams"));
        addResult(make<lumo::CRemoteVarObject>("Result"));
    }
    void execute() override {}
};

TEST_F(PluginClientAcrossSlaveTest, ParametersOfAnotherSizeAreRefused)
{
    P<CNEBPluginClient> plugin = startPlugin();
    ASSERT_TRUE(plugin);
    CShortParamsFunction request;
    EXPECT_THROW(plugin->call(request), lumo::CFinishedError);
    ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    EXPECT_EQ(m_slave->getExitCode(), 0);
    EXPECT_EQ(errorFileText(), "lumo::CException\nType: CRemoveVarStruct: size of struct is different\ntext: ");
}

} // namespace
