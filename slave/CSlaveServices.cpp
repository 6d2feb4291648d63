#include "slave/CSlaveServices.h"

#include "foundation/CError.h"
#include "foundation/CObject.h"
#include "foundation/CURI.h"

#include <cstdio>
#include <filesystem>

namespace nebo::common {

using lumo::make;
using lumo::P;

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

P<lumo::IBase> CSlaveServices::connectPipe(const lumo::String&)
{
    return nullptr;
}

P<ISlaveServer> CSlaveServices::createServer(const P<lumo::IBase>&, const P<lumo::IBase>&)
{
    throw lumo::CError(lumo::String("No plugin server can be run in this build."));
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
