#include "tools/probe/collectMedia.h"

#include "platform/CTempFolder.h"
#include "tools/probe/CUsageError.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nebo::probe {
namespace {

// Files below a folder come sorted, in the folder's place; links to folders are not followed, links to files are.
TEST(collectMediaTest, ReplacesEachFolderByTheFilesBelowItInNameOrder)
{
    lumo::CTempFolder folder;
    const std::string root = folder.pathOf("clips");
    std::filesystem::create_directories(root + "/b/deep");
    std::filesystem::create_directories(root + "/empty");
    for (const char* name : {"clips/z.mp4", "clips/a.wav", "clips/b/deep/c.mkv", "clips/b/a.demo", "other.txt"})
        folder.put(name, "");
    std::filesystem::create_symlink(folder.pathOf("other.txt"), root + "/link.txt");
    std::filesystem::create_directory_symlink(root + "/b", root + "/folderlink");

    const std::vector<std::string> media =
        collectMedia({{"first.demo", false}, {root, true}, {"file:///last.demo", false}});
    EXPECT_EQ(media,
              (std::vector<std::string>{"first.demo", root + "/a.wav", root + "/b/a.demo", root + "/b/deep/c.mkv",
                                        root + "/link.txt", root + "/z.mp4", "file:///last.demo"}));
}

TEST(collectMediaTest, RefusesWhatIsNoFolderAndAnEmptyList)
{
    lumo::CTempFolder folder;
    folder.put("file.mp4", "");
    std::filesystem::create_directory(folder.pathOf("empty"));
    const std::pair<std::vector<SMediumArgument>, std::string> cases[] = {
        {{{folder.pathOf("missing"), true}}, "--recursive wants a folder"},
        {{{folder.pathOf("file.mp4"), true}}, "--recursive wants a folder"},
        {{{folder.pathOf("empty"), true}}, "no medium given"},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            collectMedia(arguments);
            ADD_FAILURE() << "accepted what was meant to fail with: " << message;
        } catch (const CUsageError& error) {
            EXPECT_NE(error.getDescription()->toUTF8().find(message), std::string::npos)
                << error.getDescription()->toUTF8();
        }
    }
}

} // namespace
} // namespace nebo::probe
