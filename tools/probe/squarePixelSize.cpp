#include "tools/probe/squarePixelSize.h"

#include <algorithm>
#include <cmath>

namespace nebo::probe {

namespace {

constexpr double maxAspect = 4.0;

int32_t bound(double side) { return static_cast<int32_t>(std::clamp(std::round(side), 1.0, double(maxPictureSide))); }

} // namespace

SImageSize squarePixelSize(SImageSize stored, int32_t aspectNum, int32_t aspectDen)
{
    double aspect = aspectNum > 0 && aspectDen > 0 ? double(aspectNum) / aspectDen : 1.0;
    if (aspect > maxAspect || aspect < 1.0 / maxAspect)
        aspect = 1.0;
    return {bound(stored.width * aspect), bound(stored.height)};
}

} // namespace nebo::probe
