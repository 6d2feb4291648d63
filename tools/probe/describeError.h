#pragma once

#include "foundation/CException.h"

#include <string>

namespace nebo::probe {

// An error's text for people. Unless `bVerbose`, a slave's failure shows as
// its summary and where its whole report is, and any other text is cut to
// a screenful. May hold bytes of a slave's choosing.
std::string describeError(const lumo::CException& error, bool bVerbose);

} // namespace nebo::probe
