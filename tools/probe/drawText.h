#pragma once

#include "tools/probe/SRGBImage.h"

#include <string>

namespace nebo::probe {

// How wide `text` is when drawn `scale` times the font's size.
int32_t measureText(const std::string& text, int32_t scale);

// Writes `text` into `image` in a built-in font of 5x7 dots, each dot a
// square of `scale` pixels, in `colour` (0xRRGGBB), its top left corner at
// (x, y). The font has the digits, ':' and '.'; other characters are left
// blank. What falls outside the image is cut off.
void drawText(SRGBImage& image, int32_t x, int32_t y, const std::string& text, int32_t scale, uint32_t colour);

} // namespace nebo::probe
