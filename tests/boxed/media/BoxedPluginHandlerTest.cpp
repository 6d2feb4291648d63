// A boxed master over the real plugins: slaves name them; none of their code, nor what they link, enters here.
#include "host/CPluginHandler.h"

#include "boxed/CBoxedFixture.h"
#include "host/master/CPluginAnswerCache.h"
#include "platform/fileNameSuffixes.h"
#include "support/binFolder.h"
#include "support/isModuleResident.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::common::CPluginHandler;
using nebo::test::extensionsOf;
using nebo::test::pluginNamesOf;

class BoxedMediaPluginHandlerTest : public nebo::test::CBoxedFixture {};

TEST_F(BoxedMediaPluginHandlerTest, SlavesAnswerForTheBuiltInPluginsOnceAndNoneIsLoadedHere)
{
    const std::vector<std::string> builtIn = {"nebo_avlib", "nebo_sound"};
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);
    const std::vector<std::string> extensions = extensionsOf(*handler->getValidExtensions(3));
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), "flac"), extensions.end());
    EXPECT_EQ(pluginNamesOf(*handler), builtIn);

    // The plugins, and the libraries they link as the build names them.
    std::vector<std::string> modules;
    for (const std::string& plugin : builtIn)
        modules.push_back((nebo::test::binFolder() / (plugin + lumo::getModuleSuffix())).string());
    std::istringstream libraries(NEBO_MEDIA_LIBRARIES);
    for (std::string library; std::getline(libraries, library, '|');)
        modules.push_back(library);
    EXPECT_GT(modules.size(), builtIn.size());
    for (const std::string& module : modules)
        EXPECT_FALSE(lumo::isModuleResident(module)) << module;

    // A second handler asks no slave.
    const int32_t questions = nebo::common::getPluginAnswerCache()->getQuestionCount();
    const P<CPluginHandler> second = make<CPluginHandler>(m_context, true);
    EXPECT_EQ(pluginNamesOf(*second), builtIn);
    EXPECT_EQ(extensionsOf(*second->getValidExtensions(3)), extensions);
    EXPECT_EQ(nebo::common::getPluginAnswerCache()->getQuestionCount(), questions);
}

} // namespace
