#pragma once

#include "foundation/String.h"

namespace nebo::common {

class ILogManager;

// True when the environment holds NEBO_DEBUG_OUTPUT=stderr: debug lines,
// the slaves' among them, then go to standard error, as for someone
// debugging the system. Otherwise they stay off the user's terminal.
bool isDebugOutputOnStderr();

// Writes `text` to standard error in that mode, else into `log` at the
// debug level (nowhere when `log` is null).
void writeDebugOutput(ILogManager* log, const lumo::String& text);

} // namespace nebo::common
