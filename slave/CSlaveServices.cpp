#include "slave/CSlaveServices.h"

#include "foundation/CError.h"
#include "foundation/CObject.h"
#include "foundation/CURITypeNotSupportedError.h"

#include <cstdio>
#include <filesystem>

namespace nebo::common {

using lumo::make;
using lumo::P;

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decodeEscapes(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

} // namespace

std::string fileURIToNativePath(const std::string& uriText)
{
    const std::string_view scheme = "file://";
    std::string_view rest(uriText);
    if (rest.substr(0, scheme.size()) != scheme)
        throw lumo::CURITypeNotSupportedError(nullptr);
    rest.remove_prefix(scheme.size());
    const std::size_t pathStart = rest.find('/');
    const std::string_view authority = rest.substr(0, pathStart);
    if (pathStart == std::string_view::npos || !(authority.empty() || authority == "localhost"))
        throw lumo::CURITypeNotSupportedError(nullptr);
    return decodeEscapes(rest.substr(pathStart));
}

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
    return fileURIToNativePath(uriText.toUTF8());
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
