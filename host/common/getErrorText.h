#pragma once

#include "foundation/CException.h"

namespace nebo::common {

// What an error says: its description, or its general description when the
// description is empty, as for the remote calls' errors, whose one text is
// their title.
lumo::String getErrorText(const lumo::CException& error);

} // namespace nebo::common
