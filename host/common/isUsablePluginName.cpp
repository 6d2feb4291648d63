#include "host/common/isUsablePluginName.h"

#include <algorithm>

namespace nebo::common {

bool isUsablePluginName(const std::string& name)
{
    const auto isUsable = [](char c) { return c > ' ' && c < 127 && c != '/' && c != '\\'; };
    return !name.empty() && name.size() <= maxPluginNameBytes && std::all_of(name.begin(), name.end(), isUsable);
}

} // namespace nebo::common
