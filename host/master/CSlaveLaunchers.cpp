#include "host/master/CSlaveLaunchers.h"

#include "foundation/CException.h"
#include "foundation/TSingleton.h"
#include "foundation/escapeControlCharacters.h"
#include "platform/IForkServer.h"
#include "platform/IPathes.h"
#include "platform/ISystem.h"

#include <cstdlib>
#include <filesystem>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// "warning": the plugin still works, only slower.
constexpr int32_t fallBackLogLevel = 1;

P<CSlaveLaunchers> createLaunchers() { return make<CSlaveLaunchers>(); }

lumo::TSingleton<CSlaveLaunchers> holder(&createLaunchers);

std::string keyOf(const lumo::CURI& program, const String& pluginName, const lumo::CProcessOptions& options)
{
    std::string key = program.getText().toUTF8() + '\n' + pluginName.toUTF8() + '\n' +
                      (options.bOwnNamespaces ? "ns\n" : "\n") + (options.bDiscardOutput ? "quiet\n" : "\n");
    for (const std::string& entry : options.environment)
        key += entry + '\n';
    return key;
}

} // namespace

CSlaveLaunchers::~CSlaveLaunchers() { endAll(); }

P<CSlaveLaunchers> CSlaveLaunchers::get() { return holder.get(); }

bool CSlaveLaunchers::isEnabled()
{
    const char* setting = std::getenv(switchVariable);
    return lumo::isForkServerAvailable() && !(setting && std::string(setting) == "off");
}

P<lumo::CURI> CSlaveLaunchers::getErrorFolder(const String& pluginName)
{
    const P<lumo::ISystem> system = lumo::getSystem();
    const P<lumo::CURI> temporaryFolder = system->getTempDirectory();
    std::lock_guard<std::mutex> lock(m_mutex);
    // The temporary folder may change while the master runs; each keeps its own.
    P<lumo::CURI>& folder = m_errorFolders[temporaryFolder->getText().toUTF8() + '\n' + pluginName.toUTF8()];
    if (!folder)
        folder = system->createUniqueFolder(*temporaryFolder, String("nebo_slaves_"), String());
    return folder;
}

P<lumo::CURI> CSlaveLaunchers::takeKeptErrorFile(const P<lumo::CURI>& folder)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<P<lumo::CURI>>& kept = m_keptErrorFiles[folder->getText().toUTF8()];
    if (kept.empty())
        return nullptr;
    P<lumo::CURI> file = kept.back();
    kept.pop_back();
    return file;
}

void CSlaveLaunchers::keepErrorFile(const P<lumo::CURI>& folder, P<lumo::CURI> file) noexcept
{
    try {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            std::vector<P<lumo::CURI>>& kept = m_keptErrorFiles[folder->getText().toUTF8()];
            if (kept.size() < maxKeptErrorFiles) {
                kept.push_back(std::move(file));
                return;
            }
        }
        lumo::getSystem()->deleteFile(*file);
    } catch (const std::exception&) {
        // Gone already, or left for endAll's folder check: nothing to keep.
    }
}

std::vector<std::string> CSlaveLaunchers::getKeptErrorFiles()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<std::string> paths;
    for (const auto& [folder, files] : m_keptErrorFiles)
        for (const P<lumo::CURI>& file : files)
            paths.push_back(lumo::getPathes()->getNativePath(*file, false).toUTF8());
    return paths;
}

std::optional<CSlaveLauncher::SChild> CSlaveLaunchers::tryStart(const P<lumo::CURI>& program, const String& pluginName,
                                                                const String& arguments,
                                                                const lumo::CProcessOptions& options, int32_t priority,
                                                                int64_t heapAheadBytes, int32_t logLevel,
                                                                int32_t timeoutMs, ILogManager* log) noexcept
{
    try {
        const P<lumo::CURI> errorFolder = getErrorFolder(pluginName);
        const std::shared_ptr<SEntry> held = getEntry(keyOf(*program, pluginName, options));
        SEntry& entry = *held;
        std::lock_guard<std::mutex> lock(entry.mutex);
        if (entry.bGivenUp)
            return std::nullopt;
        String failure;
        // A launcher that has served its time is replaced; one that fails
        // to start a child is replaced once more before giving up.
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (!entry.launcher || !entry.launcher->isUsable())
                    entry.launcher =
                        make<CSlaveLauncher>(program, pluginName, errorFolder, options, logLevel, timeoutMs);
                if (std::optional<CSlaveLauncher::SChild> child =
                        entry.launcher->startChild(arguments, priority, heapAheadBytes, timeoutMs))
                    return child;
                failure = String("it stopped answering: ") + entry.launcher->readFailure();
            } catch (const lumo::CException& error) {
                failure = String(error.getDescription());
            }
            entry.launcher = nullptr;
        }
        entry.bGivenUp = true;
        if (log)
            log->logText(fallBackLogLevel,
                         String("the launcher of ") + pluginName +
                             String(" failed twice; its slaves start one program each from now on: ") +
                             String::fromUTF8(lumo::escapeControlCharacters(failure.toUTF8())));
    } catch (const std::exception&) {
        // Starting the program itself is always left.
    }
    return std::nullopt;
}

std::shared_ptr<CSlaveLaunchers::SEntry> CSlaveLaunchers::getEntry(const std::string& key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::shared_ptr<SEntry>& entry = m_entries[key];
    if (!entry)
        entry = std::make_shared<SEntry>();
    return entry;
}

void CSlaveLaunchers::endAll() noexcept
{
    std::map<std::string, std::shared_ptr<SEntry>> entries;
    std::map<std::string, P<lumo::CURI>> folders;
    std::map<std::string, std::vector<P<lumo::CURI>>> keptFiles;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        entries.swap(m_entries);
        folders.swap(m_errorFolders);
        keptFiles.swap(m_keptErrorFiles);
    }
    for (auto& [key, entry] : entries) {
        // A start under way finishes first; its child ends with the rest.
        std::lock_guard<std::mutex> lock(entry->mutex);
        if (entry->launcher)
            entry->launcher->end();
    }
    entries.clear();
    for (const auto& [folder, files] : keptFiles)
        for (const P<lumo::CURI>& file : files) {
            try {
                lumo::getSystem()->deleteFile(*file);
            } catch (const std::exception&) {
            }
        }
    for (auto& [name, folder] : folders) {
        try {
            // Only an empty folder goes: a crash report stays for its reader.
            const std::string path = lumo::getPathes()->getNativePath(*folder, false).toUTF8();
            std::error_code error;
            if (std::filesystem::remove(path, error) || !std::filesystem::exists(path, error))
                continue;
        } catch (const std::exception&) {
        }
        // Slave handlers still alive may empty it yet.
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_errorFolders.emplace(name, folder);
    }
}

} // namespace nebo::common
