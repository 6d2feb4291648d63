#include "host/CPluginModule.h"

#include "host/CSimpleNEBContext.h"
#include "platform/ISystem.h"
#include "platform/fileNameSuffixes.h"

#include <gtest/gtest.h>

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// The test plugins are built beside this program.
P<lumo::CURI> pluginFile(const char* name)
{
    return make<lumo::CURI>(String::fromLatin1(name) + String::fromLatin1(lumo::getModuleSuffix()),
                            lumo::getSystem()->getExecutableDirectory().get());
}

} // namespace

TEST(CPluginModuleTest, ForwardsToThePluginOfTheLibrary)
{
    const P<INEBContext> context = make<CSimpleNEBContext>();
    const P<CPluginModule> module = make<CPluginModule>(context, *pluginFile("nebo_avlib"));

    EXPECT_EQ(module->getPluginName(), String("avlib"));
    EXPECT_EQ(module->getValidTypes(), pictureSourceType | soundSourceType | formatType | soundFormatType);
    const P<IPluginExtensions> extensions = module->getValidExtensions(pictureSourceType);
    ASSERT_EQ(extensions->getExtensionCount(), 2);
    EXPECT_EQ(std::u16string(extensions->getExtension(1)), u"mpg");

    const P<lumo::CURI> media = make<lumo::CURI>(String("file:///media/clip.avi"));
    const INEBPlugin::SSourceParams params;
    const P<ISource> source = module->tryCreateSource(*media, pictureSourceType, true, &params);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->getURI()->getText(), media->getText());
    const P<IFormat> format = module->tryCreateFormat(*media, formatType, true, &params);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->getPluginName(), String("avlib"));
}
