#include "tools/probe/isErrorOutputTerminal.h"

#include <unistd.h>

namespace nebo::probe {

bool isErrorOutputTerminal() { return isatty(STDERR_FILENO) == 1; }

} // namespace nebo::probe
