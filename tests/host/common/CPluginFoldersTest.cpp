#include "host/common/CPluginFolders.h"

#include "platform/CTempFolder.h"
#include "platform/pathListSeparator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using nebo::common::CPluginFolders;

// Between the folders of a path setting.
const std::string sep(1, lumo::getPathListSeparator());

// An installed tree: P/bin for the program, P/lib, P/lib/nebo/plugins, and two folders of the user's own.
class CPluginFoldersTest : public ::testing::Test {
protected:
    CPluginFoldersTest()
    {
        for (const char* folder : {"bin", "lib/nebo/plugins", "mine", "yours"})
            std::filesystem::create_directories(m_temp.pathOf(folder));
    }

    // A path in the tree as the platform spells it, with its own separator between names.
    std::string pathOf(const std::string& name) const
    {
        return (std::filesystem::canonical(m_temp.pathOf("")) / name).make_preferred().string();
    }

    CPluginFolders folders(const std::string& pathSetting) const
    {
        return CPluginFolders(pathSetting, pathOf("bin"), pathOf("lib"));
    }

    void put(const std::string& name) const { m_temp.put(name, "x"); }

    lumo::CTempFolder m_temp;
};

TEST_F(CPluginFoldersTest, SearchesTheSettingThenBesideTheProgramThenTheInstalledFolder)
{
    const std::string mine = pathOf("mine"), yours = pathOf("yours"), bin = pathOf("bin");
    const std::string installed = pathOf("lib/nebo/plugins");
    const struct {
        std::string setting;
        std::vector<std::string> expected;
    } cases[] = {
        {"", {bin, installed}},
        {mine, {mine, bin, installed}},
        {mine + sep + yours, {mine, yours, bin, installed}},
        // Empty entries are passed over, and each folder counts once, however it is spelt.
        {sep + sep + yours + "/" + sep + mine + sep + sep + bin + "/../bin", {yours, mine, bin, installed}},
        // A folder that does not exist yet is kept: it may be made later.
        {pathOf("later"), {pathOf("later"), bin, installed}},
        // Relative folders are taken from the current folder.
        {"mine" + sep + "./yours/", {mine, yours, bin, installed}},
    };
    const std::string current = std::filesystem::current_path().string();
    std::filesystem::current_path(pathOf(""));
    for (const auto& test : cases)
        EXPECT_EQ(folders(test.setting).getFolders(), test.expected) << test.setting;
    std::filesystem::current_path(current);
}

TEST_F(CPluginFoldersTest, FindsEachPluginInTheFirstFolderThatHoldsIt)
{
    const auto plugin = [](const std::string& name) { return CPluginFolders::pluginFileName(name); };
    for (const char* name : {"yours/both", "bin/both", "lib/nebo/plugins/installed", "bin/beside"})
        put(plugin(name));
    put(plugin("mine/folder") + "/x");
    const CPluginFolders found = folders(pathOf("mine") + sep + pathOf("yours"));
    const struct {
        const char* name;
        std::string expected;
    } cases[] = {
        {"both", pathOf(plugin("yours/both"))},
        {"installed", pathOf(plugin("lib/nebo/plugins/installed"))},
        {"beside", pathOf(plugin("bin/beside"))},
        // A folder is no library; a missing one is named beside the program.
        {"folder", pathOf(plugin("bin/folder"))},
        {"missing", pathOf(plugin("bin/missing"))},
    };
    for (const auto& test : cases)
        EXPECT_EQ(found.findPlugin(test.name), test.expected) << test.name;
}

TEST_F(CPluginFoldersTest, TellsASlaveEveryFolderInOrderThatTheListCanHold)
{
    const CPluginFolders found = folders(pathOf("yours") + sep + sep + pathOf("mine"));
    EXPECT_EQ(found.toPathSetting(),
              pathOf("yours") + sep + pathOf("mine") + sep + pathOf("bin") + sep + pathOf("lib/nebo/plugins"));
    // The slave's own reading of it gives the same folders first.
    EXPECT_EQ(CPluginFolders(found.toPathSetting(), pathOf("lib/nebo"), pathOf("lib")).getFolders(),
              (std::vector<std::string>{pathOf("yours"), pathOf("mine"), pathOf("bin"), pathOf("lib/nebo/plugins"),
                                        pathOf("lib/nebo")}));
    // A folder with the separator in its name cannot be told.
    std::filesystem::create_directory(pathOf("a" + sep + "b"));
    EXPECT_EQ(CPluginFolders("", pathOf("a" + sep + "b"), pathOf("lib")).toPathSetting(), pathOf("lib/nebo/plugins"));
}

} // namespace
