// Boxed questions answered by real slaves hosting nebo_demo.
#include "host/master/CNEBPluginBoxed.h"

#include "boxed/CBoxedFixture.h"
#include "expectError.h"
#include "media/CNEBError.h"

#include <gtest/gtest.h>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CNEBPluginBoxed;

class CNEBPluginBoxedTest : public nebo::test::CBoxedFixture {};

TEST_F(CNEBPluginBoxedTest, EachQuestionStartsAndEndsOneSlave)
{
    const P<CNEBPluginBoxed> plugin = make<CNEBPluginBoxed>(m_context, String("nebo_demo"));
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(plugin->getValidTypes(), 3);
        // A slave that quit cleanly takes its error file along; none is left running.
        EXPECT_EQ(errorFiles(), std::vector<std::string>());
        EXPECT_EQ(nebo::test::slaveProcesses(), std::vector<uint32_t>());
    }
}

TEST_F(CNEBPluginBoxedTest, SlaveWithoutItsPluginReportsWhy)
{
    const P<CNEBPluginBoxed> plugin = make<CNEBPluginBoxed>(m_context, String("no_such_plugin"));
    const std::string text = "lumo::CException\nType: Error\ntext: CNEBPluginServer at least one plugin has to "
                             "be registeres in plugin context!";
    lumo::expectError<nebo::common::CNEBError>("CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\n" + text,
                                               [&] { plugin->getValidTypes(); });
    EXPECT_EQ(errorFileText(), text);
}

} // namespace
