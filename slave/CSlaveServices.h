#pragma once

#include "slave/CSlaveConfinement.h"
#include "slave/ISlaveServices.h"

#include <optional>

namespace nebo::common {

// The services of the slave program itself: the in-memory log, the context,
// the plugin handler and the plugin server of the host, on the master's
// pipe. A fatal signal leaves a crash report in the error file, and so
// does the master's request for a hang report, with the stacks of every
// thread (see crashhandler/installCrashReporting.h). The process is
// confined before the plugin loads, and further before the plugin is given
// a medium (see CSlaveConfinement).
//
// Debug output (the slave's debug lines and a copy of a crash report) stays
// off the standard error, which is often the user's terminal or a pipe of
// the master's, unless the slave's environment has
// NEBO_DEBUG_OUTPUT=stderr; otherwise debug lines go into the run's log.
class CSlaveServices : public ISlaveServices {
public:
    // Reads the environment once: where debug output goes holds for the
    // whole run, crash filter included.
    CSlaveServices();

    lumo::P<ILogManager> createLogManager(int logLevel) override;
    lumo::P<INEBContext> createContext(const lumo::P<ILogManager>& logManager, const lumo::String& pluginName) override;
    lumo::P<IPluginHandler> createPluginHandler(const lumo::P<INEBContext>& context) override;
    std::string getNativePath(const lumo::String& uriText) override;
    void installCrashFilter(const std::string& errorFilePath) override;
    void removeCrashFilter() override;
    void prepareHeap() override;
    lumo::P<lumo::IPipeClient> connectPipe(const lumo::String& pipeName) override;
    void confineProcess(const lumo::P<INEBContext>& context) override;
    // The launcher's first step, before it loads the plugin: as
    // confineProcess(), but its error file's folder stays writable for
    // its children's error files, and it may fork them.
    void confineLauncher(const lumo::P<INEBContext>& context);
    void confineChild(const std::string& errorFilePath) override;
    // For a launcher's child: the heap to ready instead of the environment's.
    void setHeapAhead(int64_t bytes) { m_heapAheadBytes = bytes; }
    lumo::P<ISlaveServer> createServer(const lumo::P<lumo::IPipeClient>& pipe, const lumo::P<INEBContext>& context,
                                       const lumo::P<IPluginHandler>& pluginHandler) override;
    bool fileExists(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    void writeDebugOutput(const std::string& text, ILogManager* logManager) override;

private:
    const bool m_bDebugOutputOnStandardError;
    // The crash filter's, which confinement keeps writable.
    std::string m_errorFilePath;
    // Made by confineProcess(), handed to the server, which takes the
    // second step.
    std::optional<CSlaveConfinement> m_confinement;
    std::optional<int64_t> m_heapAheadBytes;
};

} // namespace nebo::common
