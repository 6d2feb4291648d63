#pragma once

#include "foundation/String.h"

namespace nebo::common {

// Why a plugin could not open a medium, as a slave's log text tells it: the
// reason of the last failure the plugin handler there logged, else the last
// entry (a plugin that refuses a medium may say why in its own words). XML
// escapes undone, at most a few hundred characters; empty for a log without
// entries.
lumo::String findOpeningFailure(const lumo::String& logText);

} // namespace nebo::common
