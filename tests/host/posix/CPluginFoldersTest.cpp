#include "host/CPluginFolders.h"

#include "platform/CTempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(CPluginFoldersLinkTest, AFolderReachedThroughALinkCountsOnce)
{
    const lumo::CTempFolder temp;
    const std::string mine = std::filesystem::canonical(temp.pathOf("")).string() + "/mine";
    std::filesystem::create_directory(mine);
    std::filesystem::create_directory_symlink(mine, temp.pathOf("link"));
    EXPECT_EQ(nebo::common::CPluginFolders(temp.pathOf("link") + ":" + mine, mine, mine).getFolders(),
              (std::vector<std::string>{mine, mine + "/nebo/plugins"}));
}

} // namespace
