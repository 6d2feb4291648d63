#pragma once

#include "foundation/String.h"
#include "platform/IProcess.h"

namespace nebo::common {

// A slave's end for people: "34 MB peak, 120 ms CPU, ended by the master".
lumo::String describeSlaveEnd(const lumo::SProcessEnd& end);

} // namespace nebo::common
