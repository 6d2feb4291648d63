#pragma once

#include "host/plugin/SMediumFacts.h"
#include "plugins/demo/CDemoClip.h"

namespace nebo::demo {

// The facts of a clip as the plugin makes it: raw pictures in the clip's
// layout, square pixels, and 16-bit sound.
common::SMediumFacts describeClip(const CDemoClip& clip);

} // namespace nebo::demo
