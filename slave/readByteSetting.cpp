#include "slave/readByteSetting.h"

#include <cerrno>
#include <cstdlib>

namespace nebo::common {

std::optional<uint64_t> readByteSetting(const char* variable)
{
    const char* setting = std::getenv(variable);
    // strtoull would take a sign or blanks.
    if (!setting || *setting < '0' || *setting > '9')
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(setting, &end, 10);
    if (errno != 0 || *end != '\0' || value == 0)
        return std::nullopt;
    return uint64_t{value};
}

} // namespace nebo::common
