#include "plugins/avlib/CAvlibPlugin.h"

#include "boxed/CBoxedFixture.h"
#include "foundation/CException.h"
#include "platform/CTempFolder.h"
#include "support/CStandardErrorCapture.h"
#include "support/writeTestClip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using nebo::test::extensionsOf;

TEST(CAvlibPluginTest, ListsTheDemuxersExtensionsForPicturesAndSound)
{
    const P<nebo::avlib::CAvlibPlugin> plugin = make<nebo::avlib::CAvlibPlugin>(nullptr);
    EXPECT_EQ(plugin->getValidTypes(), nebo::common::pictureSourceType | nebo::common::soundSourceType);
    for (const int32_t nTypes : {1, 2, 3}) {
        const std::vector<std::string> extensions = extensionsOf(*plugin->getValidExtensions(nTypes));
        // "wav" comes from the wave writer: its reader lists none.
        for (const char* expected : {"mp4", "mkv", "mov", "avi", "webm", "y4m", "wav", "mp3", "flac", "ogg", "nut"})
            EXPECT_EQ(std::count(extensions.begin(), extensions.end(), expected), 1) << expected;
        for (const std::string& extension : extensions)
            EXPECT_TRUE(!extension.empty() &&
                        extension.find_first_of(".,ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
                << extension;
    }
    EXPECT_TRUE(extensionsOf(*plugin->getValidExtensions(nebo::common::formatType)).empty());
}

TEST(CAvlibPluginTest, MakesUnopenedSourcesForLocalFilesOnly)
{
    const P<nebo::avlib::CAvlibPlugin> plugin = make<nebo::avlib::CAvlibPlugin>(nullptr);
    // Nothing is read before open: the file need not exist yet.
    for (const char* uri : {"file:///no/such/clip.mkv", "FILE:///no/such/clip.mkv"}) {
        const P<nebo::common::ISource> source =
            plugin->tryCreateSource(*make<lumo::CURI>(lumo::String(uri)), 3, true, nullptr);
        ASSERT_TRUE(source) << uri;
        EXPECT_FALSE(source->isOpened());
    }
    for (const char* other : {"http://example.invalid/clip.mkv", "clip.mkv", "file://server/clip.mkv"})
        EXPECT_FALSE(plugin->tryCreateSource(*make<lumo::CURI>(lumo::String(other)), 3, true, nullptr)) << other;
    EXPECT_FALSE(plugin->tryCreateFormat(*make<lumo::CURI>(lumo::String("file:///x.mkv")), 8, true, nullptr));
}

using CAvlibPluginLogTest = nebo::test::CBoxedFixture;

TEST_F(CAvlibPluginLogTest, LibraryMessagesGoIntoTheContextsLogAndNotToTheConsole)
{
    // Cut before the index that the container writes last.
    const lumo::CTempFolder folder;
    const std::string path = folder.pathOf("cut.mp4");
    nebo::testing::writeTestClip(path, {nebo::testing::SVideoSettings{"mpeg4"}, {}});
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);

    m_log->setLogLevel(4);
    const P<nebo::avlib::CAvlibPlugin> plugin = make<nebo::avlib::CAvlibPlugin>(m_context.get());
    const P<nebo::common::ISource> source =
        plugin->tryCreateSource(*lumo::CURI::fromNativePath(lumo::String::fromUTF8(path)), 3, false, nullptr);
    ASSERT_TRUE(source);

    nebo::test::CStandardErrorCapture standardError;
    EXPECT_THROW(source->open(), lumo::CException);
    EXPECT_EQ(standardError.text(), "");
    EXPECT_NE(logText().find("moov atom not found"), std::string::npos) << logText();
}

} // namespace
