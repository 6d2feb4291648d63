#include "tools/probe/isWritableFolder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace nebo::probe {

bool isWritableFolder(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace nebo::probe
