#include "support/CScopedEnvironment.h"

namespace lumo {

void CScopedEnvironment::set(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

const char* getTemporaryFolderVariable() { return "TMPDIR"; }

} // namespace lumo
