#pragma once

#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "host/master/CSlaveLauncher.h"
#include "host/plugin/ILogManager.h"
#include "platform/CProcessOptions.h"
#include "platform/IProcess.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace nebo::common {

// The master's launchers, one per plugin (and slave program and start
// options), each made on the first slave of its plugin. A launcher that is
// no longer usable (CSlaveLauncher::isUsable) is replaced; when the new one
// fails too, that plugin's slaves start one program each from then on,
// which the log is told once.
//
// The children's error files lie in a folder per plugin, the one place its
// launcher may write to; the folders go with the set unless they keep a
// crash report. Empty files are reused (keepErrorFile): on some file systems
// making a file where many were just removed costs more than a small medium.
// Thread-safe.
class CSlaveLaunchers : public lumo::CObject {
public:
    static constexpr const char* switchVariable = "NEBO_LAUNCHER";
    // More slaves of one plugin seldom run at once.
    static constexpr size_t maxKeptErrorFiles = 16;

    ~CSlaveLaunchers() override;

    // The process-wide set; its launchers end when the process does.
    static lumo::P<CSlaveLaunchers> get();
    // True where the platform can fork, unless NEBO_LAUNCHER is "off".
    static bool isEnabled();

    // The folder for the error files of `pluginName`'s slaves, made on
    // first use. Throws the system's errors.
    lumo::P<lumo::CURI> getErrorFolder(const lumo::String& pluginName);
    // An error file kept in `folder` (one of getErrorFolder's), now the
    // caller's; null when none is kept.
    lumo::P<lumo::CURI> takeKeptErrorFile(const lumo::P<lumo::CURI>& folder);
    // Keeps `file` in `folder` for the next slave; the caller vouches that it
    // is empty and that no process of its slave runs any more. Beyond
    // maxKeptErrorFiles per folder the file is deleted. Throws nothing.
    void keepErrorFile(const lumo::P<lumo::CURI>& folder, lumo::P<lumo::CURI> file) noexcept;
    // The native paths of the files kept for reuse now.
    std::vector<std::string> getKeptErrorFiles();
    // A child of the plugin's launcher for a slave started with `arguments`,
    // started as `options` say; nothing when no launcher can serve, and the
    // caller starts the program itself. `log` may be null. Throws nothing.
    std::optional<CSlaveLauncher::SChild> tryStart(const lumo::P<lumo::CURI>& program, const lumo::String& pluginName,
                                                   const lumo::String& arguments, const lumo::CProcessOptions& options,
                                                   int32_t priority, int64_t heapAheadBytes, int32_t logLevel,
                                                   int32_t timeoutMs, ILogManager* log) noexcept;
    // Ends every launcher (and the children they still have) now; the next
    // request makes new ones. Deletes the kept error files and removes the
    // error folders that are empty then; one that is not is tried again by
    // the next call (the process's end makes one).
    void endAll() noexcept;

private:
    // One plugin's launcher. Its own lock, so that a launcher taking its
    // time to start holds up the slaves of its plugin only.
    struct SEntry {
        std::mutex mutex;
        lumo::P<CSlaveLauncher> launcher;
        bool bGivenUp = false;
    };

    // The entry for the key, made on first use.
    std::shared_ptr<SEntry> getEntry(const std::string& key);

    // Guards the tables; an entry's own state is its lock's.
    std::mutex m_mutex;
    std::map<std::string, std::shared_ptr<SEntry>> m_entries;
    std::map<std::string, lumo::P<lumo::CURI>> m_errorFolders;
    // By the error folder's URI text.
    std::map<std::string, std::vector<lumo::P<lumo::CURI>>> m_keptErrorFiles;
};

} // namespace nebo::common
