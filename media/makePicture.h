#pragma once

#include "media/CPictureBase.h"

namespace nebo::common {

// A picture of the layout with the type code `type` over `block`, its
// planes spaced for `planeRows` (0: the height); null for an unknown code.
// A null `manager` means the process-wide one. Throws CInvalidArgError as
// the layouts' constructors do (a block shorter than the size needs, plane
// rows out of bounds), and for plane rows other than the height of a
// layout with one plane.
lumo::P<CPictureBase> makePicture(int32_t type, lumo::P<lumo::IMemoryManager> manager, double timestamp,
                                  lumo::P<lumo::IMemoryBlock> block, int32_t width, int32_t height, bool bottomUp,
                                  int32_t planeRows = 0);

} // namespace nebo::common
