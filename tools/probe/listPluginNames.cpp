#include "tools/probe/listPluginNames.h"

#include "host/common/CPluginFolders.h"

#include <algorithm>
#include <filesystem>

namespace nebo::probe {

namespace {

constexpr std::string_view libraryPrefix = "lib";

bool isPluginFileName(const std::string& name, const std::string& moduleSuffix)
{
    return name.size() > moduleSuffix.size() &&
           name.compare(name.size() - moduleSuffix.size(), moduleSuffix.size(), moduleSuffix) == 0 &&
           name.compare(0, libraryPrefix.size(), libraryPrefix) != 0;
}

} // namespace

std::vector<std::string> listPluginNames(const std::string& folder)
{
    // What the plugin handler looks for, less the plugin's name.
    const std::string moduleSuffix = common::CPluginFolders::pluginFileName("");
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        std::error_code typeError;
        if (isPluginFileName(name, moduleSuffix) && entry->is_regular_file(typeError))
            names.push_back(name.substr(0, name.size() - moduleSuffix.size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> listPluginNames(const std::vector<std::string>& folders)
{
    std::vector<std::string> names;
    for (const std::string& folder : folders) {
        const std::vector<std::string> found = listPluginNames(folder);
        names.insert(names.end(), found.begin(), found.end());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace nebo::probe
