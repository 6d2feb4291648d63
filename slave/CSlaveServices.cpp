#include "slave/CSlaveServices.h"

#include "crashhandler/installCrashReporting.h"
#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "foundation/castObject.h"
#include "host/CPluginHandler.h"
#include "host/common/CLogManager.h"
#include "host/common/CPluginFolders.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/common/debugOutput.h"
#include "host/slave/CNEBPluginServer.h"
#include "host/slave/CSharedBufferMemoryManager.h"
#include "host/wire/slaveEnvironment.h"
#include "platform/IPathes.h"
#include "platform/IPipeManager.h"
#include "platform/ISystem.h"
#include "platform/IThreadManager.h"
#include "platform/prepareHeap.h"
#include "platform/writeDebugText.h"
#include "slave/CSlaveConfinement.h"
#include "slave/readByteSetting.h"

#include <algorithm>
#include <fstream>

namespace nebo::common {

using lumo::castObject;
using lumo::make;
using lumo::P;

namespace {

// The first line of crash and hang reports: "<application> <version>".
const char* const reportApplicationName = "";
const char* const reportVersionText = "0.0.0";

// The plugin server as the slave's call loop sees it. It confines the
// process before the plugin is given a medium, and keeps the quit signal of
// the source server that takes the pipe over, to tell a pipe the master
// closed after its "Quit" from one that was lost.
class CPluginServerLoop : public CNEBPluginServer, public virtual ISlaveServer {
public:
    CPluginServerLoop(lumo::IPipeClient& pipe, P<INEBContext> context, P<IPluginHandler> handler,
                      CSlaveConfinement confinement)
        : CNEBPluginServer(pipe.getInStream(), pipe.getOutStream(), std::move(context), std::move(handler)),
          m_confinement(std::move(confinement))
    {
    }

    P<lumo::ISignal> getQuitSignal() override { return CNEBPluginServer::getQuitSignal(); }
    // A request that served nothing (the separator closing the one before,
    // an unknown function) is no failure: the loop simply reads on.
    void serveNext() override { processNext(); }
    bool wasQuitReceived() override { return getQuitSignal()->isSet() || (m_sourceQuit && m_sourceQuit->isSet()); }

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
    const std::string library = CPluginFolders::ofThisProcess().findPlugin(context.getPluginLibrary(0).toUTF8());
    return library.substr(0, library.rfind('/'));
}

} // namespace

CSlaveServices::CSlaveServices() : m_bDebugOutputOnStandardError(isDebugOutputOnStderr()) {}

P<ILogManager> CSlaveServices::createLogManager(int logLevel)
{
    P<ILogManager> log = make<CLogManager>("slavelog");
    log->setLogLevel(logLevel);
    return log;
}

P<INEBContext> CSlaveServices::createContext(const P<ILogManager>& logManager, const lumo::String& pluginName)
{
    P<INEBContext> context = make<CSimpleNEBContext>();
    context->setPrefetch(true);
    context->setFlag2(true);
    context->setLogManager(logManager);
    context->addPluginLibrary(pluginName);
    // The plugin's pictures are made in the buffers the master shares, once
    // it does.
    context->setMemoryManager(make<CSharedBufferMemoryManager>(context->getMemoryManager()));
    return context;
}

P<IPluginHandler> CSlaveServices::createPluginHandler(const P<INEBContext>& context)
{
    return make<CPluginHandler>(context, false);
}

std::string CSlaveServices::getNativePath(const lumo::String& uriText)
{
    return lumo::getPathes()->getNativePath(*make<lumo::CURI>(uriText), false).toUTF8();
}

void CSlaveServices::installCrashFilter(const std::string& errorFilePath)
{
    // The master asks where a call hangs before it ends the slave; the
    // calling thread is the one that serves its calls.
    const uint64_t servingThread = lumo::getThreadManager()->getCurrentThreadID();
    if (!crashhandler::installCrashReporting(errorFilePath.c_str(), m_bDebugOutputOnStandardError, servingThread,
                                             reportApplicationName, reportVersionText))
        throw lumo::CInvalidArgError(lumo::String("errorFilePath"), lumo::String("installCrashFilter"));
    m_errorFilePath = errorFilePath;
}

void CSlaveServices::removeCrashFilter() { crashhandler::removeCrashReporting(); }

void CSlaveServices::prepareHeap()
{
    const std::optional<uint64_t> asked =
        m_heapAheadBytes ? std::optional<uint64_t>(uint64_t(std::max<int64_t>(0, *m_heapAheadBytes)))
                         : readByteSetting(common::heapAheadVariable);
    if (!asked)
        return;
    // Half the address space at most: the medium needs room beyond the
    // heap, for its threads' stacks and the master's buffers, once the
    // limit holds.
    const uint64_t bytes = std::min(*asked, CSlaveConfinement::getMaxAddressSpace() / 2);
    if (bytes <= uint64_t(lumo::maxPreparedHeapBytes))
        lumo::prepareHeap(int64_t(bytes));
}

P<lumo::IPipeClient> CSlaveServices::connectPipe(const lumo::String& pipeName)
{
    P<lumo::IPipeClient> pipe = lumo::getPipeManager()->createClient(pipeName);
    if (!pipe->connect())
        return nullptr;
    return pipe;
}

void CSlaveServices::confineProcess(const P<INEBContext>& context)
{
    m_confinement.emplace(m_errorFilePath, pluginFolderOf(*context), context->getLogManager());
    m_confinement->confineProcess();
}

void CSlaveServices::confineLauncher(const P<INEBContext>& context)
{
    const std::string folder = m_errorFilePath.substr(0, m_errorFilePath.rfind('/'));
    m_confinement.emplace(folder, pluginFolderOf(*context), context->getLogManager(), true);
    m_confinement->confineProcess();
}

void CSlaveServices::confineChild(const std::string& errorFilePath)
{
    if (!m_confinement)
        throw lumo::CInvalidArgError(lumo::String("a child outside a launcher"), lumo::String("confineChild"));
    m_confinement->confineChild(errorFilePath);
}

P<ISlaveServer> CSlaveServices::createServer(const P<lumo::IPipeClient>& pipe, const P<INEBContext>& context,
                                             const P<IPluginHandler>& pluginHandler)
{
    if (!m_confinement)
        throw lumo::CInvalidArgError(lumo::String("a server before confinement"), lumo::String("createServer"));
    return make<CPluginServerLoop>(*pipe, context, pluginHandler, std::move(*m_confinement));
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

void CSlaveServices::writeDebugOutput(const std::string& text, ILogManager* logManager)
{
    if (m_bDebugOutputOnStandardError) {
        lumo::writeDebugText(text);
    } else if (logManager) {
        logManager->logText(debugOutputLevel, lumo::String::fromUTF8(text));
    }
}

} // namespace nebo::common
