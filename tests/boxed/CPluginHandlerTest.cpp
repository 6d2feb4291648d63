// A boxed master over the real plugins beside the test program: slaves name
// them, and none of their code, nor what they link, enters this process.
#include "host/CPluginHandler.h"

#include "boxed/CBoxedFixture.h"
#include "host/CPluginNameCache.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CPluginHandler;

std::vector<std::string> pluginNamesOf(CPluginHandler& handler)
{
    std::vector<std::string> names;
    for (int32_t index = 0; index < handler.getPluginCount(); ++index)
        names.push_back(handler.getPlugin(index)->getPluginName().toUTF8());
    return names;
}

std::string mappedFiles()
{
    std::ifstream maps("/proc/self/maps");
    return std::string(std::istreambuf_iterator<char>(maps), std::istreambuf_iterator<char>());
}

class CPluginHandlerTest : public nebo::test::CBoxedFixture {};

TEST_F(CPluginHandlerTest, SlavesNameTheBuiltInPluginsOnceAndNoneIsLoadedHere)
{
    const std::vector<std::string> builtIn = {"nebo_avlib", "nebo_sound"};
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);
    EXPECT_EQ(pluginNamesOf(*handler), builtIn);
    const std::string log = logText();
    EXPECT_EQ(log.find("Error while loading DLL: "), log.rfind("Error while loading DLL: ")) << log;
    EXPECT_NE(log.find("Error while loading DLL: CNEBError - could not load plugin: "), std::string::npos) << log;
    EXPECT_NE(log.find("nebo_filters.so"), std::string::npos) << log;

    const std::string maps = mappedFiles();
    for (const char* library : {"nebo_avlib.so", "nebo_sound.so", "libavcodec", "libavformat", "libavutil",
                                "libswscale", "libsndfile"})
        EXPECT_EQ(maps.find(library), std::string::npos) << library;

    // Were a slave started now, the missing program would stop the handler.
    const int32_t questions = nebo::common::getPluginNameCache()->getQuestionCount();
    m_context->setSlaveProgram(make<lumo::CURI>(String("file:///no/such/folder/nebo_slave")));
    const P<CPluginHandler> second = make<CPluginHandler>(m_context, true);
    EXPECT_EQ(pluginNamesOf(*second), builtIn);
    EXPECT_EQ(nebo::common::getPluginNameCache()->getQuestionCount(), questions);
}

} // namespace
