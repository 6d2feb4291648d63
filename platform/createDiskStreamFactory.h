#pragma once

#include "streams/IStreamFactory.h"

namespace lumo {

// The platform's factory for "file" URIs, made anew on each call.
P<IStreamFactory> createDiskStreamFactory();

} // namespace lumo
