#pragma once

#include "host/plugin/INEBContext.h"

namespace nebo::common {

// The log the context's log manager collected, which is cleared; the empty
// string when there is no log manager or nothing was logged.
lumo::String takeLogText(INEBContext& context);

} // namespace nebo::common
