#include "platform/isSystemVariable.h"

#include <algorithm>
#include <iterator>

namespace lumo {

bool isSystemVariable(const std::string& name)
{
    static const char* const names[] = {"PATH", "LANG", "TZ", "TMPDIR"};
    return std::any_of(std::begin(names), std::end(names), [&](const char* system) { return name == system; }) ||
           name.rfind("LC_", 0) == 0;
}

} // namespace lumo
