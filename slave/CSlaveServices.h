#pragma once

#include "slave/ISlaveServices.h"

namespace nebo::common {

// The services of the slave program itself: the in-memory log, the context,
// the plugin handler and the plugin server of the host, on the master's
// pipe. A fatal signal leaves a crash report in the error file.
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
