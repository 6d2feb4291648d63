#include "support/binFolder.h"

#include <cstdlib>

namespace nebo::test {

std::filesystem::path binFolder()
{
    const char* folder = std::getenv("NEBO_BIN_DIR");
    return folder ? folder : NEBO_BUILD_BIN_DIR;
}

} // namespace nebo::test
