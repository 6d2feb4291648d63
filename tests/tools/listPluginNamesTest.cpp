#include "tools/probe/listPluginNames.h"

#include "host/common/CPluginFolders.h"
#include "platform/CTempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nebo::probe {
namespace {

// The platform's module suffix, ".so" on POSIX.
const std::string so = common::CPluginFolders::pluginFileName("");

// Each name once, from every folder; a missing folder holds none.
TEST(listPluginNamesTest, ListsPluginModulesButNotLinkedLibrariesOfSeveralFolders)
{
    lumo::CTempFolder first;
    lumo::CTempFolder second;
    const std::string names[] = {"nebo_demo" + so,     "alpha" + so, "libnebo" + so, "liblumo" + so, "notes.txt",
                                 "nebo_x" + so + ".1", so,           "nebo_probe"};
    for (const std::string& name : names)
        first.put(name, "");
    std::filesystem::create_directory(first.pathOf("folder" + so));
    for (const std::string& name : {"nebo_demo" + so, "beta" + so})
        second.put(name, "");
    EXPECT_EQ(listPluginNames(std::vector<std::string>{first.pathOf(""), first.pathOf("missing"), second.pathOf("")}),
              (std::vector<std::string>{"alpha", "beta", "nebo_demo"}));
}

} // namespace
} // namespace nebo::probe
