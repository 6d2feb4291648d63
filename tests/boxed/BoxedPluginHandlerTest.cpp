// A master that boxes its plugins: the plugin handler learns everything from
// slaves, the plugin's name included.
#include "host/CPluginModuleBoxed.h"

#include "boxed/CBoxedFixture.h"
#include "host/CPluginHandler.h"
#include "host/IVideoSource.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;

class BoxedPluginHandlerTest : public nebo::test::CBoxedFixture {};

TEST_F(BoxedPluginHandlerTest, OpensSourcesInSlaves)
{
    m_context->addPluginLibrary(String("nebo_demo"));
    const P<nebo::common::CPluginHandler> handler = make<nebo::common::CPluginHandler>(m_context, true);
    ASSERT_EQ(handler->getPluginCount(), 1);
    EXPECT_EQ(handler->getValidExtensions(1)->getExtensionCount(), 1);

    P<nebo::common::IVideoSource> source = handler->tryCreateVideoSource(*demoURI("w=8&h=8&frames=2"), true);
    ASSERT_TRUE(source);
    EXPECT_TRUE(source->isOpened());
    EXPECT_EQ(source->getWidth(), 8);
    ASSERT_TRUE(source->getNextPicture());
    source = nullptr;
}

} // namespace
