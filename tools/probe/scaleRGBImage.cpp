#include "tools/probe/scaleRGBImage.h"

#include "foundation/CError.h"

#include <algorithm>
#include <cmath>

namespace nebo::probe {

namespace {

// The source pixels that make one target pixel along a direction.
struct STaps {
    int32_t first = 0;
    std::vector<float> weights;
};

STaps averageCovered(int32_t target, double scale, int32_t sourceLength)
{
    const double start = target * scale;
    const double end = start + scale;
    STaps taps{static_cast<int32_t>(std::floor(start)), {}};
    for (int32_t source = taps.first; source < end && source < sourceLength; ++source) {
        const double covered = std::min(end, source + 1.0) - std::max(start, double(source));
        taps.weights.push_back(static_cast<float>(covered / scale));
    }
    return taps;
}

STaps blendNearest(int32_t target, double scale, int32_t sourceLength)
{
    const double centre = std::clamp((target + 0.5) * scale - 0.5, 0.0, double(sourceLength - 1));
    const auto first = static_cast<int32_t>(std::floor(centre));
    const auto fraction = static_cast<float>(centre - first);
    if (first + 1 >= sourceLength)
        return {first, {1.0f}};
    return {first, {1.0f - fraction, fraction}};
}

std::vector<STaps> tapsFor(int32_t sourceLength, int32_t targetLength)
{
    const double scale = double(sourceLength) / targetLength;
    std::vector<STaps> taps;
    taps.reserve(size_t(targetLength));
    for (int32_t target = 0; target < targetLength; ++target)
        taps.push_back(scale > 1.0 ? averageCovered(target, scale, sourceLength)
                                   : blendNearest(target, scale, sourceLength));
    return taps;
}

uint8_t toByte(float value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// Resamples the rows to `width` pixels.
SRGBImage scaleRows(const SRGBImage& image, int32_t width)
{
    const std::vector<STaps> columns = tapsFor(image.width, width);
    SRGBImage scaled{width, image.height,
                     std::vector<uint8_t>(size_t(width) * size_t(image.height) * SRGBImage::pixelBytes)};
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int32_t channel = 0; channel < SRGBImage::pixelBytes; ++channel) {
                const STaps& taps = columns[size_t(x)];
                float sum = 0.0f;
                for (size_t tap = 0; tap < taps.weights.size(); ++tap)
                    sum += taps.weights[tap] * image.pixel(taps.first + int32_t(tap), y)[channel];
                scaled.pixel(x, y)[channel] = toByte(sum);
            }
    return scaled;
}

// Rows become columns: the columns are resampled as rows.
SRGBImage transpose(const SRGBImage& image)
{
    SRGBImage turned{image.height, image.width, std::vector<uint8_t>(image.rgb.size())};
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x)
            std::copy_n(image.pixel(x, y), SRGBImage::pixelBytes, turned.pixel(y, x));
    return turned;
}

} // namespace

SRGBImage scaleRGBImage(const SRGBImage& image, SImageSize size)
{
    if (image.width <= 0 || image.height <= 0 || size.width <= 0 || size.height <= 0)
        throw lumo::CError(lumo::String::fromUTF8("cannot scale a picture of " + std::to_string(image.width) + "x" +
                                                  std::to_string(image.height) + " to " + std::to_string(size.width) +
                                                  "x" + std::to_string(size.height)));
    if (size == SImageSize{image.width, image.height})
        return image;
    return transpose(scaleRows(transpose(scaleRows(image, size.width)), size.height));
}

} // namespace nebo::probe
