#include "plugins/sound/CSoundPlugin.h"

#include "boxed/CBoxedFixture.h"
#include "foundation/castObject.h"
#include "host/plugin/IAudioSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::sound::CSoundPlugin;
using nebo::test::extensionsOf;

TEST(CSoundPluginTest, NamesTheLibrarysReadableKindsForSoundOnly)
{
    P<CSoundPlugin> plugin = make<CSoundPlugin>(nullptr);
    EXPECT_EQ(plugin->getValidTypes(), 2);

    const std::vector<std::string> extensions = extensionsOf(*plugin->getValidExtensions(2));
    for (const char* expected : {"wav", "flac", "ogg", "aiff", "au"})
        EXPECT_NE(std::find(extensions.begin(), extensions.end(), expected), extensions.end()) << expected;
    EXPECT_EQ(std::find(extensions.begin(), extensions.end(), "raw"), extensions.end());
    for (const std::string& extension : extensions)
        EXPECT_TRUE(std::none_of(extension.begin(), extension.end(), ::isupper)) << extension;

    EXPECT_EQ(extensionsOf(*plugin->getValidExtensions(3)), extensions);
    EXPECT_TRUE(extensionsOf(*plugin->getValidExtensions(1)).empty());
    EXPECT_TRUE(extensionsOf(*plugin->getValidExtensions(8)).empty());
}

TEST(CSoundPluginTest, MakesUnopenedSoundSourcesForFileURIsOnly)
{
    P<CSoundPlugin> plugin = make<CSoundPlugin>(nullptr);
    const P<lumo::CURI> file = make<lumo::CURI>(lumo::String("file:///nowhere/tone.wav"));
    const P<nebo::common::ISource> source = plugin->tryCreateSource(*file, 2, false, nullptr);
    ASSERT_TRUE(lumo::castObject<nebo::common::IAudioSource>(source, false));
    EXPECT_FALSE(source->isOpened());

    EXPECT_FALSE(plugin->tryCreateSource(*file, 1, false, nullptr));
    EXPECT_FALSE(plugin->tryCreateSource(*make<lumo::CURI>(lumo::String("http://host/tone.wav")), 2, false, nullptr));
    EXPECT_FALSE(plugin->tryCreateFormat(*file, 16, false, nullptr));
}

} // namespace
