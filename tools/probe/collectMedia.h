#pragma once

#include "tools/probe/CProbeOptions.h"

#include <string>
#include <vector>

namespace nebo::probe {

// The media that the arguments name, in their order: a medium as it was
// given, a folder replaced by every regular file below it (links to files
// included, links to folders not followed, folders that may not be read
// left out), sorted by path. Throws CUsageError for a folder that is none
// or cannot be listed, and when no medium is left.
std::vector<std::string> collectMedia(const std::vector<SMediumArgument>& arguments);

} // namespace nebo::probe
