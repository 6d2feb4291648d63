#pragma once

#include "tools/probe/SRGBImage.h"

namespace nebo::probe {

// The widest and tallest picture written, far beyond any thumbnail.
constexpr int32_t maxPictureSide = 32768;

// The size at which a picture of `stored` size, whose pixels are
// `aspectNum`/`aspectDen` as wide as tall, shows with square pixels: the
// height is kept and the width stretched or narrowed (320x240 of 4:3
// pixels shows as 427x240). An aspect that is not positive, or beyond 1:4
// or 4:1, which no medium means, counts as square. Each side is bounded to
// 1..maxPictureSide.
SImageSize squarePixelSize(SImageSize stored, int32_t aspectNum, int32_t aspectDen);

} // namespace nebo::probe
