#include "tools/probe/listPluginNames.h"

#include "host/CPluginFolders.h"
#include "platform/CTempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nebo::probe {
namespace {

// The platform's module suffix, ".so" on POSIX.
const std::string so = common::CPluginFolders::pluginFileName("");

TEST(listPluginNamesTest, ListsPluginModulesButNotLinkedLibraries)
{
    lumo::CTempFolder folder;
    for (const std::string& name :
         {"nebo_demo" + so, "alpha" + so, "libnebo" + so, "liblumo" + so, std::string("notes.txt"),
          "nebo_x" + so + ".1", so, std::string("nebo_probe")})
        folder.put(name, "");
    std::filesystem::create_directory(folder.pathOf("folder" + so));
    EXPECT_EQ(listPluginNames(folder.pathOf("")), (std::vector<std::string>{"alpha", "nebo_demo"}));
}

TEST(listPluginNamesTest, FindsNoneInAMissingFolder)
{
    lumo::CTempFolder folder;
    EXPECT_TRUE(listPluginNames(folder.pathOf("missing")).empty());
}

TEST(listPluginNamesTest, ListsEachNameOfSeveralFoldersOnce)
{
    lumo::CTempFolder first;
    lumo::CTempFolder second;
    for (const std::string& name : {"nebo_demo" + so, "zeta" + so})
        first.put(name, "");
    for (const std::string& name : {"nebo_demo" + so, "alpha" + so, "libnebo" + so})
        second.put(name, "");
    EXPECT_EQ(listPluginNames(std::vector<std::string>{first.pathOf(""), first.pathOf("missing"), second.pathOf("")}),
              (std::vector<std::string>{"alpha", "nebo_demo", "zeta"}));
}

} // namespace
} // namespace nebo::probe
