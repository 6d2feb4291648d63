#pragma once

#include "foundation/CException.h"

namespace nebo::common {

// An error's description, or its general description when that is empty
// (as for remote calls' errors, whose one text is their title).
lumo::String getErrorText(const lumo::CException& error);

} // namespace nebo::common
