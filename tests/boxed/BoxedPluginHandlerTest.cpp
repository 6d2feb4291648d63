// A boxed master over the real plugins beside the test program: slaves name
// them, and none of their code, nor what they link, enters this process.
#include "host/CPluginHandler.h"

#include "boxed/CBoxedFixture.h"
#include "host/IVideoSource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CPluginHandler;
using nebo::test::extensionsOf;
using nebo::test::pluginNamesOf;

class BoxedPluginHandlerTest : public nebo::test::CBoxedFixture {};

TEST_F(BoxedPluginHandlerTest, OpensSourcesOfANamedPluginInSlaves)
{
    m_context->addPluginLibrary(String("nebo_demo"));
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);
    ASSERT_EQ(pluginNamesOf(*handler), std::vector<std::string>{"nebo_demo"});
    EXPECT_EQ(extensionsOf(*handler->getValidExtensions(1)), std::vector<std::string>{"demo"});
    P<nebo::common::IVideoSource> source = handler->tryCreateVideoSource(*demoURI("w=8&h=8&frames=2"), true);
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->isOpened());
    EXPECT_EQ(source->getWidth(), 8);
    ASSERT_TRUE(source->getNextPicture());
}

} // namespace
