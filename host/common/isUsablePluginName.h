#pragma once

#include <string>

namespace nebo::common {

// Room for a plugin name in a slave's command line.
constexpr size_t maxPluginNameBytes = 127;

// True for a name a boxed plugin can go by: it becomes one word of its
// slaves' command line and the base of a file name there, so it is 1 to
// maxPluginNameBytes printable ASCII characters without blanks or slashes.
bool isUsablePluginName(const std::string& name);

} // namespace nebo::common
