#pragma once

#include "foundation/P.h"
#include "foundation/String.h"
#include "host/common/IPluginHandler.h"
#include "host/plugin/ILogManager.h"
#include "host/plugin/INEBContext.h"
#include "platform/IPipeClient.h"
#include "slave/ISlaveServer.h"

#include <string>

namespace nebo::common {

// The services the slave's entry builds its run from, in the order it uses
// them. Everything the entry creates is owned through the returned pointers;
// the entry releases them in reverse order. Any operation may throw; the
// entry turns the error into the error file's text.
class ISlaveServices {
public:
    virtual ~ISlaveServices() = default;

    // The in-memory log at a level already clamped to 0..4.
    virtual lumo::P<ILogManager> createLogManager(int logLevel) = 0;
    // The context over the log with the plugin library registered.
    virtual lumo::P<INEBContext> createContext(const lumo::P<ILogManager>& logManager,
                                               const lumo::String& pluginName) = 0;
    // Loads the plugins the context names; a library that fails is logged and left out.
    virtual lumo::P<IPluginHandler> createPluginHandler(const lumo::P<INEBContext>& context) = 0;
    // The native path of the error file's URI text.
    virtual std::string getNativePath(const lumo::String& uriText) = 0;
    // Makes a fault of any thread write its report into the error file (and
    // a copy where debug lines go, when that is standard error) and end the
    // process; the master's request for a hang report does the same with
    // the stacks of every thread, the calling one, which serves the
    // master's calls, first.
    virtual void installCrashFilter(const std::string& errorFilePath) = 0;
    virtual void removeCrashFilter() = 0;
    // Readies as much of the heap as the master asked for (a slave started
    // ahead, see CSlaveHandler::startAhead); does nothing when it asked
    // none, and leaves the heap as it is when the platform cannot.
    virtual void prepareHeap() = 0;
    // The connected client end of the master's pipe; null when it cannot be reached.
    virtual lumo::P<lumo::IPipeClient> connectPipe(const lumo::String& pipeName) = 0;
    // Confines the process for the whole run, before the plugins load:
    // after the pipe is connected, no connection can be made (see
    // CSlaveConfinement). Logs into the context's log what it applied.
    virtual void confineProcess(const lumo::P<INEBContext>& context) = 0;
    // In a launcher's child, after connecting: narrows the launcher's
    // confinement to a slave's, with `errorFilePath` the one writable file
    // (see CSlaveConfinement::confineChild).
    virtual void confineChild(const std::string& errorFilePath) = 0;
    // The server of `pluginHandler`'s plugins on the pipe's streams; throws
    // when the handler holds none.
    virtual lumo::P<ISlaveServer> createServer(const lumo::P<lumo::IPipeClient>& pipe,
                                               const lumo::P<INEBContext>& context,
                                               const lumo::P<IPluginHandler>& pluginHandler) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Removes the file, or, where the process may not remove it, empties it.
    virtual void deleteFile(const std::string& path) = 0;
    // A debug line of the slave: on standard error when that is where debug
    // output goes, else into `logManager` at debug level (3), else, when
    // `logManager` is null (before the run's log exists or after it is
    // gone), nowhere.
    virtual void writeDebugOutput(const std::string& text, ILogManager* logManager) = 0;
};

} // namespace nebo::common
