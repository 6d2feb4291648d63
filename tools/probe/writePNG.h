#pragma once

#include "tools/probe/SRGBImage.h"

#include <string>

namespace nebo::probe {

// Writes `image` to the file `path` as an 8-bit RGB PNG. Throws lumo::CError
// when the image has no pixels or the file cannot be written; the error
// names the file.
void writePNG(const std::string& path, const SRGBImage& image);

} // namespace nebo::probe
