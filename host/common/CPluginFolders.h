#pragma once

#include <string>
#include <vector>

namespace nebo::common {

// Where a process looks for plugin libraries and the slave program, so that
// the build tree (one folder) and an installed tree (P/bin, P/lib, the slave
// in P/lib/nebo, the plugins in P/lib/nebo/plugins) both work.
//
// The plugin folders, in search order: those NEBO_PLUGIN_PATH names (by the
// platform's path list separator; empty entries passed over, relative ones
// taken from the current folder), the running program's folder, and
// "nebo/plugins" in the host libraries' folder. An earlier folder's plugin
// hides a later one of the same name. A master hands its folders to its
// slaves (toPathSetting), so that a slave loads the plugin its master found.
//
// A plain value; any thread may use its own copy.
class CPluginFolders {
public:
    static constexpr const char* pathVariable = "NEBO_PLUGIN_PATH";
    static constexpr const char* slaveProgramName = "nebo_slave";

    // `name` with the platform's module suffix: "<name>.so" on POSIX.
    static std::string pluginFileName(const std::string& name);
    // The slave program's with the platform's program suffix.
    static std::string slaveProgramFileName();

    // The folders of this process: its environment, the running program's
    // folder and the lumo library's. Throws lumo::CError when the system
    // cannot tell either folder.
    static CPluginFolders ofThisProcess();

    // `pathSetting` as NEBO_PLUGIN_PATH holds it; the two folders native
    // and absolute.
    CPluginFolders(const std::string& pathSetting, const std::string& programFolder, const std::string& libraryFolder);

    // In search order, each once, absolute and without a trailing "/".
    const std::vector<std::string>& getFolders() const { return m_folders; }
    // The native path of pluginFileName(name) in the first folder holding it;
    // else its path beside the running program, naming what is missing.
    std::string findPlugin(const std::string& name) const;
    // slaveProgramFileName() beside the running program, else in the
    // installed layout ("nebo/" in the libraries' folder); when neither
    // exists, the path beside the program.
    std::string findSlaveProgram() const;
    // The NEBO_PLUGIN_PATH that makes a slave search these folders first, in
    // this order. A folder whose name holds the separator cannot be told
    // apart in that list and is left out.
    std::string toPathSetting() const;

private:
    void addFolder(const std::string& folder);

    std::string m_programFolder;
    std::string m_libraryFolder;
    std::vector<std::string> m_folders;
};

} // namespace nebo::common
