#pragma once

#include "media/INEBPicture.h"

#include <string>

namespace nebo::probe {

// Writes `picture` to the file `path` as an 8-bit RGB PNG, top row first,
// converting a YUV picture to RGB on the way. Throws lumo::CError when the
// picture has no pixels or the file cannot be written; the error names
// the file.
void writePNG(const std::string& path, common::INEBPicture& picture);

} // namespace nebo::probe
