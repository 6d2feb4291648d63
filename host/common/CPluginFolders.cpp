#include "host/common/CPluginFolders.h"

#include "platform/IPathes.h"
#include "platform/ISystem.h"
#include "platform/fileNameSuffixes.h"
#include "platform/pathListSeparator.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

namespace nebo::common {

namespace {

// Where an installed tree keeps its plugins and its slave, below the
// folder of the host's libraries.
const char* const installedPluginFolder = "nebo/plugins";
const char* const installedSlaveFolder = "nebo";

// Absolute, links resolved as far as the path exists, without a trailing
// "/": two spellings of one folder compare equal.
std::string normalize(const std::string& folder)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(folder, error);
    if (error)
        path = folder;
    std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
    std::string text = (error ? path.lexically_normal() : resolved).string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

// `name` in `folder`, with the platform's own separator between them.
std::string pathIn(const std::string& folder, const std::string& name)
{
    return (std::filesystem::path(folder) / name).make_preferred().string();
}

std::string nativeFolder(const lumo::P<lumo::CURI>& folder)
{
    return lumo::getPathes()->getNativePath(*folder, false).toUTF8();
}

} // namespace

CPluginFolders CPluginFolders::ofThisProcess()
{
    // Cached, also for a launcher's children: resolving takes dozens of
    // system calls and a master asks per medium. The program's and library's
    // folders stay while the process runs; the setting is compared each time.
    static std::mutex mutex;
    static std::optional<std::pair<std::string, CPluginFolders>> last;
    const char* variable = std::getenv(pathVariable);
    const std::string setting = variable ? variable : "";
    const std::lock_guard<std::mutex> lock(mutex);
    if (!last || last->first != setting) {
        const lumo::P<lumo::ISystem> system = lumo::getSystem();
        last.emplace(setting, CPluginFolders(setting, nativeFolder(system->getExecutableDirectory()),
                                             nativeFolder(system->getLibraryDirectory())));
    }
    return last->second;
}

CPluginFolders::CPluginFolders(const std::string& pathSetting, const std::string& programFolder,
                               const std::string& libraryFolder)
    : m_programFolder(normalize(programFolder)), m_libraryFolder(normalize(libraryFolder))
{
    const char separator = lumo::getPathListSeparator();
    for (size_t start = 0; start <= pathSetting.size();) {
        const size_t end = std::min(pathSetting.find(separator, start), pathSetting.size());
        addFolder(pathSetting.substr(start, end - start));
        start = end + 1;
    }
    addFolder(m_programFolder);
    addFolder(m_libraryFolder + "/" + installedPluginFolder);
}

void CPluginFolders::addFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    const std::string normalized = normalize(folder);
    if (std::find(m_folders.begin(), m_folders.end(), normalized) == m_folders.end())
        m_folders.push_back(normalized);
}

std::string CPluginFolders::pluginFileName(const std::string& name) { return name + lumo::getModuleSuffix(); }

std::string CPluginFolders::slaveProgramFileName() { return std::string(slaveProgramName) + lumo::getProgramSuffix(); }

std::string CPluginFolders::findPlugin(const std::string& name) const
{
    const std::string fileName = pluginFileName(name);
    for (const std::string& folder : m_folders)
        if (isFile(pathIn(folder, fileName)))
            return pathIn(folder, fileName);
    return pathIn(m_programFolder, fileName);
}

std::string CPluginFolders::findSlaveProgram() const
{
    const std::string fileName = slaveProgramFileName();
    const std::string beside = pathIn(m_programFolder, fileName);
    const std::string installed = pathIn(pathIn(m_libraryFolder, installedSlaveFolder), fileName);
    return !isFile(beside) && isFile(installed) ? installed : beside;
}

std::string CPluginFolders::toPathSetting() const
{
    const char separator = lumo::getPathListSeparator();
    std::string setting;
    for (const std::string& folder : m_folders) {
        if (folder.find(separator) != std::string::npos)
            continue;
        if (!setting.empty())
            setting += separator;
        setting += folder;
    }
    return setting;
}

} // namespace nebo::common
