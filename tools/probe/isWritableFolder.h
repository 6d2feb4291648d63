#pragma once

#include <string>

namespace nebo::probe {

// True when `path` names a folder in which this process may create files,
// as far as the system's permissions tell before trying.
bool isWritableFolder(const std::string& path);

} // namespace nebo::probe
