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
    std::optional<lumo::IForkServer::SRequest> request;
    P<ILogManager> log;
    P<INEBContext> context;
    P<IPluginHandler> plugins;
    try {
        log = m_services.createLogManager(commandLine->logLevel);
        context = m_services.createContext(log, String::fromLatin1(commandLine->pluginName));
        errorFilePath = m_services.getNativePath(String::fromLatin1(commandLine->errorFileURI));
        m_services.installCrashFilter(errorFilePath);
        P<lumo::IPipeClient> control = m_services.connectPipe(String::fromLatin1(commandLine->pipeName));
        if (!control)
            return CSlave::exitPipeNotReachable;
        const P<lumo::IForkServer> forkServer = lumo::createForkServer(control);
        if (!forkServer)
            return exitNoFork;
        m_services.confineLauncher(context);
        // Loaded once, confined: every child starts with it in place.
        plugins = m_services.createPluginHandler(context);
        request = forkServer->serve();
    } catch (const std::exception& error) {
        writeErrorFile(errorFilePath, std::string("the launcher failed: ") + error.what());
        m_services.removeCrashFilter();
        return exitFailed;
    }
    if (!request) {
        plugins = nullptr;
        context = nullptr;
        log = nullptr;
        m_services.removeCrashFilter();
        m_services.deleteFile(errorFilePath);
        return CSlave::exitOk;
    }
    m_services.setHeapAhead(request->heapAheadBytes);
    const int exitCode = CSlave(m_services).runChild(request->arguments, std::move(log), std::move(context),
                                                     std::move(plugins));
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
