#include "support/CScopedEnvironment.h"

#include <cstdlib>

namespace lumo {

const char* CScopedEnvironment::getTempFolderVariable()
{
    return "TMPDIR";
}

void CScopedEnvironment::set(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

} // namespace lumo
