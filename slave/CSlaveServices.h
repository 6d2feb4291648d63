#pragma once

#include "slave/ISlaveServices.h"

namespace nebo::common {

// The services of the slave program itself.
//
// The pipe is real: the slave connects to the master's pipe and serves
// remote calls on it. The host's log, context, plugin loading, crash reports
// and plugin server are not part of this build yet: the log, context and
// plugin handler are plain placeholder objects that only mark their
// lifetime, no crash filter is installed, and the server on the pipe is a
// plain remote stream server that serves nothing but "Quit" (an unknown
// function is answered "notfound").
class CSlaveServices : public ISlaveServices {
public:
    lumo::P<lumo::IBase> createLogManager(int logLevel) override;
    lumo::P<lumo::IBase> createContext(const lumo::P<lumo::IBase>& logManager,
                                       const lumo::String& pluginName) override;
    lumo::P<lumo::IBase> createPluginHandler(const lumo::P<lumo::IBase>& context) override;
    std::string getNativePath(const lumo::String& uriText) override;
    void installCrashFilter(const std::string& errorFilePath) override;
    void removeCrashFilter() override;
    lumo::P<lumo::IBase> connectPipe(const lumo::String& pipeName) override;
    lumo::P<ISlaveServer> createServer(const lumo::P<lumo::IBase>& pipe,
                                       const lumo::P<lumo::IBase>& context) override;
    bool fileExists(const std::string& path) override;
    void deleteFile(const std::string& path) override;
    void writeDebugOutput(const std::string& text) override;
};

} // namespace nebo::common
