#include "slave/CSlaveServices.h"

#include "foundation/CError.h"
#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "foundation/castObject.h"
#include "platform/IPipeManager.h"
#include "remote/CRemoteStreamServer.h"

#include <cstdio>
#include <filesystem>

namespace nebo::common {

using lumo::make;
using lumo::P;

namespace {

// A remote stream server as the slave's call loop sees it. It serves the
// built-in "Quit" alone until the plugin server takes its place.
class CQuitOnlyServer : public lumo::CObject, public virtual ISlaveServer {
public:
    explicit CQuitOnlyServer(lumo::IPipeClient& pipe)
        : m_server(make<lumo::CRemoteStreamServer>(pipe.getInStream(), pipe.getOutStream()))
    {
    }

    P<lumo::ISignal> getQuitSignal() override { return m_server->getQuitSignal(); }
    // A request that served nothing (the separator closing the one before,
    // an unknown function) is no failure: the loop simply reads on.
    void processNext() override { m_server->processNext(); }

private:
    P<lumo::CRemoteStreamServer> m_server;
};

} // namespace

P<lumo::IBase> CSlaveServices::createLogManager(int)
{
    return make<lumo::CObject>();
}

P<lumo::IBase> CSlaveServices::createContext(const P<lumo::IBase>&, const lumo::String&)
{
    return make<lumo::CObject>();
}

P<lumo::IBase> CSlaveServices::createPluginHandler(const P<lumo::IBase>&)
{
    return make<lumo::CObject>();
}

std::string CSlaveServices::getNativePath(const lumo::String& uriText)
{
    return make<lumo::CURI>(uriText)->getNativePath().toUTF8();
}

void CSlaveServices::installCrashFilter(const std::string&) {}

void CSlaveServices::removeCrashFilter() {}

P<lumo::IBase> CSlaveServices::connectPipe(const lumo::String& pipeName)
{
    P<lumo::IPipeClient> pipe = lumo::getPipeManager()->createClient(pipeName);
    if (!pipe->connect())
        return nullptr;
    return pipe;
}

P<ISlaveServer> CSlaveServices::createServer(const P<lumo::IBase>& pipe, const P<lumo::IBase>&)
{
    return make<CQuitOnlyServer>(*lumo::castObject<lumo::IPipeClient>(pipe));
}

bool CSlaveServices::fileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

void CSlaveServices::deleteFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::remove(path, error) && error)
        throw lumo::CError(lumo::String::fromUTF8("Error deleting the file '" + path + "' (" + error.message() + ")."));
}

void CSlaveServices::writeDebugOutput(const std::string& text)
{
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

} // namespace nebo::common
