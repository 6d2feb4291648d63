#include "slave/CSlaveServices.h"

#include "crashhandler/ICrashHandler.h"
#include "crashhandler/posix/fatalSignalFilter.h"
#include "crashhandler/posix/hangReportHandler.h"
#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "foundation/castObject.h"
#include "host/CLogManager.h"
#include "host/CNEBPluginServer.h"
#include "host/CPluginFolders.h"
#include "host/CPluginHandler.h"
#include "host/CSimpleNEBContext.h"
#include "host/debugOutput.h"
#include "platform/IPathes.h"
#include "platform/IPipeManager.h"
#include "platform/ISystem.h"
#include "platform/IThreadManager.h"
#include "platform/posix/hangReportSignal.h"
#include "slave/CSlaveConfinement.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace nebo::common {

using lumo::castObject;
using lumo::make;
using lumo::P;

namespace {

// Set once, before the crash filter that reads them is installed; a fixed
// array, because the filter may run after the heap was wrecked.
char g_errorFilePath[4096];
bool g_bCrashReportCopy = false;

// The first line of crash and hang reports: "<application> <version>".
const char* const reportApplicationName = "";
const char* const reportVersionText = "0.0.0";

void writeCrashReport(const crashhandler::SExceptionPointers& pointers) noexcept
{
    crashhandler::ICrashHandler* handler = crashhandler::createCrashHandler(reportApplicationName, reportVersionText);
    handler->handleCrash(g_errorFilePath, pointers, g_bCrashReportCopy);
    handler->destroy();
}

// The plugin server as the slave's call loop sees it. It confines the
// process before the plugin is given a medium, and keeps the quit signal of
// the source server that takes the pipe over, to tell a pipe the master
// closed after its "Quit" from one that was lost.
class CPluginServerLoop : public CNEBPluginServer, public virtual ISlaveServer {
public:
    CPluginServerLoop(lumo::IPipeClient& pipe, P<INEBContext> context, CSlaveConfinement confinement)
        : CNEBPluginServer(pipe.getInStream(), pipe.getOutStream(), std::move(context)),
          m_confinement(std::move(confinement))
    {
    }

    P<lumo::ISignal> getQuitSignal() override { return CNEBPluginServer::getQuitSignal(); }
    // A request that served nothing (the separator closing the one before,
    // an unknown function) is no failure: the loop simply reads on.
    void serveNext() override { processNext(); }
    bool wasQuitReceived() override
    {
        return getQuitSignal()->isSet() || (m_sourceQuit && m_sourceQuit->isSet());
    }

    P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool bDontCloseAfterTesting,
                               const SSourceParams* pParams) override
    {
        m_confinement.engageFor(uri);
        P<ISource> source = CNEBPluginServer::tryCreateSource(uri, nTypes, bDontCloseAfterTesting, pParams);
        if (source)
            m_sourceQuit = castObject<CSourceServer>(source)->getQuitSignal();
        return source;
    }

private:
    CSlaveConfinement m_confinement;
    P<lumo::ISignal> m_sourceQuit;
};

// Where the plugin handler loaded the context's one plugin from.
std::string pluginFolderOf(INEBContext& context)
{
    if (context.getPluginLibraryCount() == 0)
        return std::string();
    const std::string library =
        CPluginFolders::ofThisProcess().findPlugin(context.getPluginLibrary(0).toUTF8());
    return library.substr(0, library.rfind('/'));
}

} // namespace

CSlaveServices::CSlaveServices() : m_bDebugOutputOnStandardError(isDebugOutputOnStderr()) {}

P<lumo::IBase> CSlaveServices::createLogManager(int logLevel)
{
    P<ILogManager> log = make<CLogManager>("slavelog");
    log->setLogLevel(logLevel);
    return log;
}

P<lumo::IBase> CSlaveServices::createContext(const P<lumo::IBase>& logManager, const lumo::String& pluginName)
{
    P<INEBContext> context = make<CSimpleNEBContext>();
    context->setPrefetch(true);
    context->setFlag2(true);
    context->setLogManager(castObject<ILogManager>(logManager));
    context->addPluginLibrary(pluginName);
    return context;
}

P<lumo::IBase> CSlaveServices::createPluginHandler(const P<lumo::IBase>& context)
{
    return make<CPluginHandler>(castObject<INEBContext>(context), false);
}

std::string CSlaveServices::getNativePath(const lumo::String& uriText)
{
    return lumo::getPathes()->getNativePath(*make<lumo::CURI>(uriText), false).toUTF8();
}

void CSlaveServices::installCrashFilter(const std::string& errorFilePath)
{
    if (errorFilePath.size() >= sizeof g_errorFilePath)
        throw lumo::CInvalidArgError(lumo::String("errorFilePath"), lumo::String("installCrashFilter"));
    std::memcpy(g_errorFilePath, errorFilePath.c_str(), errorFilePath.size() + 1);
    m_errorFilePath = errorFilePath;
    g_bCrashReportCopy = m_bDebugOutputOnStandardError;
    crashhandler::installFatalSignalFilter(&writeCrashReport);
    // The master asks where a call hangs before it ends the slave; the
    // calling thread is the one that serves its calls.
    const auto servingThread = static_cast<pid_t>(lumo::getThreadManager()->getCurrentThreadID());
    crashhandler::installHangReportHandler(lumo::posix::hangReportSignal, servingThread, g_errorFilePath,
                                           reportApplicationName, reportVersionText);
}

void CSlaveServices::removeCrashFilter()
{
    crashhandler::removeHangReportHandler();
    crashhandler::removeFatalSignalFilter();
}

P<lumo::IBase> CSlaveServices::connectPipe(const lumo::String& pipeName)
{
    P<lumo::IPipeClient> pipe = lumo::getPipeManager()->createClient(pipeName);
    if (!pipe->connect())
        return nullptr;
    return pipe;
}

P<ISlaveServer> CSlaveServices::createServer(const P<lumo::IBase>& pipe, const P<lumo::IBase>& context)
{
    P<INEBContext> hostContext = castObject<INEBContext>(context);
    CSlaveConfinement confinement(m_errorFilePath, pluginFolderOf(*hostContext), hostContext->getLogManager());
    return make<CPluginServerLoop>(*castObject<lumo::IPipeClient>(pipe), std::move(hostContext),
                                   std::move(confinement));
}

bool CSlaveServices::fileExists(const std::string& path)
{
    return lumo::getSystem()->fileExists(*lumo::CURI::fromNativePath(lumo::String::fromUTF8(path)));
}

void CSlaveServices::deleteFile(const std::string& path)
{
    try {
        lumo::getSystem()->deleteFile(*lumo::CURI::fromNativePath(lumo::String::fromUTF8(path)));
    } catch (const lumo::CException&) {
        // A confined slave may not remove files; an empty error file tells
        // the master as much, and the master removes it.
        if (!std::ofstream(path, std::ios::binary | std::ios::trunc))
            throw;
    }
}

void CSlaveServices::writeDebugOutput(const std::string& text, lumo::IBase* logManager)
{
    if (m_bDebugOutputOnStandardError) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    } else if (logManager) {
        castObject<ILogManager>(logManager)->logText(debugOutputLevel, lumo::String::fromUTF8(text));
    }
}

} // namespace nebo::common
