#pragma once

namespace nebo::probe {

// True when the process's error output goes to a terminal, where a
// progress bar redrawn in place can be read.
bool isErrorOutputTerminal();

} // namespace nebo::probe
