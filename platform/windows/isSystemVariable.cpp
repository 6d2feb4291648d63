#include "platform/isSystemVariable.h"

#include "foundation/equalsIgnoringASCIICase.h"

#include <algorithm>
#include <iterator>

namespace lumo {

bool isSystemVariable(const std::string& name)
{
    static const char* const names[] = {"PATH", "SystemRoot", "SystemDrive", "windir", "TEMP", "TMP", "TZ"};
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* system) { return equalsIgnoringASCIICase(name, system); });
}

} // namespace lumo
