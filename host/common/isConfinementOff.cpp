#include "host/common/isConfinementOff.h"

#include <cstdlib>
#include <cstring>

namespace nebo::common {

bool isConfinementOff()
{
    const char* setting = std::getenv("NEBO_SANDBOX");
    return setting && std::strcmp(setting, "off") == 0;
}

} // namespace nebo::common
