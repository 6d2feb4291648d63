#pragma once

#include "tools/probe/SRGBImage.h"

#include <optional>
#include <string>

namespace nebo::probe {

enum class EPictureFormat { png, jpeg };

// The names accepted for picture files, for messages: "*.png", "*.jpg" or
// "*.jpeg".
extern const char* const pictureFileNames;

// The format a picture file's name asks for by its extension, in any case;
// none for other names.
std::optional<EPictureFormat> pictureFormatOf(const std::string& path);

// Writes `image` to `path` in the format its name asks for. Throws
// lumo::CError naming the file when it cannot be written, also for a name
// that asks for no format written here.
void writePicture(const std::string& path, const SRGBImage& image);

} // namespace nebo::probe
