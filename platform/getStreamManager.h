#pragma once

#include "streams/IStreamManager.h"

namespace lumo {

// A new manager with the platform's factory for "file" URIs registered.
P<IStreamManager> createStreamManager();
// The process-wide manager, made by createStreamManager().
P<IStreamManager> getStreamManager();

} // namespace lumo
