#pragma once

#include "tools/probe/SRGBImage.h"

namespace nebo::probe {

// `image` resampled to `size`, each direction on its own: a pixel made
// smaller averages the source pixels it covers (weighted by how much of
// each it covers), one made larger blends its two nearest linearly. The
// same size gives the same pixels. Throws lumo::CError for an empty image
// or a size without pixels.
SRGBImage scaleRGBImage(const SRGBImage& image, SImageSize size);

} // namespace nebo::probe
