#include "support/CScopedEnvironment.h"

#include <cstdlib>

namespace lumo {

const char* CScopedEnvironment::getTempFolderVariable()
{
    // The first that the system's temporary path looks at.
    return "TMP";
}

void CScopedEnvironment::set(const char* name, const char* value)
{
    // Changes the system's copy of the environment too, which started
    // programs inherit; an empty value removes the variable.
    _putenv_s(name, value ? value : "");
}

} // namespace lumo
