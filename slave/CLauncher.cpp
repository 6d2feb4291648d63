#include "slave/CLauncher.h"

#include "foundation/CException.h"
#include "platform/IForkServer.h"
#include "slave/CSlave.h"
#include "slave/CSlaveCommandLine.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace nebo::common {

using lumo::P;
using lumo::String;

int CLauncher::run(std::string_view commandLineText)
{
    const std::optional<CSlaveCommandLine> commandLine = CSlaveCommandLine::parse(commandLineText);
    if (!commandLine)
        return CSlave::exitBadCommandLine;
    std::string errorFilePath;
    std::optional<lumo::IForkServer::SChildStart> start;
    CSlave::SLaunched launched;
    try {
        launched.logManager = m_services.createLogManager(commandLine->logLevel);
        launched.context = m_services.createContext(launched.logManager, String::fromLatin1(commandLine->pluginName));
        errorFilePath = m_services.getNativePath(String::fromLatin1(commandLine->errorFileURI));
        m_services.installCrashFilter(errorFilePath);
        P<lumo::IPipeClient> control = m_services.connectPipe(String::fromLatin1(commandLine->pipeName));
        if (!control)
            return CSlave::exitPipeNotReachable;
        const P<lumo::IForkServer> forkServer = lumo::createForkServer(control);
        if (!forkServer)
            return exitNoFork;
        m_services.confineLauncher(launched.context);
        // Loaded once, confined: every child starts with it in place. A
        // plugin that fails to load fails each child as it would fail a
        // slave, in the child's error file.
        try {
            launched.pluginHandler = m_services.createPluginHandler(launched.context);
        } catch (const std::exception&) {
            launched.pluginFailure = std::current_exception();
        }
        start = forkServer->serve();
    } catch (const std::exception& error) {
        writeErrorFile(errorFilePath, std::string("the launcher failed: ") + error.what());
        m_services.removeCrashFilter();
        return exitFailed;
    }
    if (!start) {
        launched.pluginHandler = nullptr;
        launched.context = nullptr;
        launched.logManager = nullptr;
        m_services.removeCrashFilter();
        m_services.deleteFile(errorFilePath);
        return CSlave::exitOk;
    }
    m_services.setHeapAhead(start->request.heapAheadBytes);
    launched.pipe = std::move(start->pipe);
    // The child's run releases what it was given; the plugin stays loaded
    // all the same. Unloading it, with every library it pulled in, would
    // cost the child more than its medium, just before the process ends.
    const P<IPluginHandler> keptLoaded = launched.pluginHandler;
    const int exitCode = CSlave(m_services).runChild(start->request.arguments, std::move(launched));
    // What the launcher's process holds beyond the run (its singletons,
    // threads it never had in this child) is not the child's to tear down.
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void CLauncher::writeErrorFile(const std::string& path, const std::string& text)
{
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

} // namespace nebo::common
