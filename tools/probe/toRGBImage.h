#pragma once

#include "media/INEBPicture.h"
#include "tools/probe/SRGBImage.h"

namespace nebo::probe {

// `picture`'s pixels as red, green and blue bytes, top row first, a YUV
// picture converted on the way. Throws lumo::CError for a picture without
// pixels or too large to hold.
SRGBImage toRGBImage(common::INEBPicture& picture);

} // namespace nebo::probe
