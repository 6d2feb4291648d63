#pragma once

#include "foundation/String.h"

#include <cstdint>

namespace nebo::common {

class ILogManager;

// The log level of debug lines.
constexpr int32_t debugOutputLevel = 3;

// True when the environment holds NEBO_DEBUG_OUTPUT=stderr: debug lines,
// the slaves' too, then go to lumo::writeDebugText (standard error on
// POSIX); otherwise they stay off the user's terminal.
bool isDebugOutputOnStderr();

// Writes `text` to that channel in that mode, else into `log` at the
// debug level (nowhere when `log` is null).
void writeDebugOutput(ILogManager* log, const lumo::String& text);

} // namespace nebo::common
