#pragma once

#include "foundation/P.h"
#include "streams/IMemoryManager.h"

namespace nebo::common {

class INEBContext;

// The memory manager a plugin makes its pictures and chunks from: the
// context's, or one of the plugin's own when `context` is null or has none.
lumo::P<lumo::IMemoryManager> getPluginMemoryManager(INEBContext* context);

} // namespace nebo::common
