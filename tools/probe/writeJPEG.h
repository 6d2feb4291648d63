#pragma once

#include "tools/probe/SRGBImage.h"

#include <string>

namespace nebo::probe {

// Writes `image` to the file `path` as a baseline JPEG of good quality.
// Throws lumo::CError when the image has no pixels, is too large for the
// format or the file cannot be written; the error names the file, and no
// partial file is left.
void writeJPEG(const std::string& path, const SRGBImage& image);

} // namespace nebo::probe
