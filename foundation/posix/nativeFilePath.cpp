#include "foundation/nativeFilePath.h"

#include "foundation/CError.h"
#include "foundation/equalsIgnoringASCIICase.h"

#include <filesystem>
#include <system_error>

namespace lumo {

// POSIX has no drive letters or network shares in its paths: "file:///C:/x"
// names the path "/C:/x", and a host other than "localhost" no local file.
SFileURIParts toFileURIParts(const std::string& nativePath)
{
    if (!nativePath.empty() && nativePath[0] == '/')
        return {std::string(), nativePath};
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    if (error)
        throw CError(String::fromUTF8("The current folder is unknown (" + error.message() + ")."));
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return {std::string(), folder + nativePath};
}

bool toNativeFilePath(const std::string& authority, const std::string& path, std::string& nativePath)
{
    if (!authority.empty() && !equalsIgnoringASCIICase(authority, "localhost"))
        return false;
    nativePath = path;
    return true;
}

} // namespace lumo
