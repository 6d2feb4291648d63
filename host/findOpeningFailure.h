#pragma once

#include "foundation/String.h"

namespace nebo::common {

// Why a plugin could not open a medium, as a slave's log text tells it (the
// plugin handler there logs each failure): the reason of the last failure,
// XML escapes undone, at most a few hundred characters; empty when the log
// names none.
lumo::String findOpeningFailure(const lumo::String& logText);

} // namespace nebo::common
