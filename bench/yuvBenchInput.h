#pragma once

// What the two kernel benchmarks convert, and how they name the levels.

#include <cstdint>
#include <vector>

namespace nebo::bench {

constexpr int32_t width = 1920;
constexpr int32_t height = 1080;
constexpr int64_t area = int64_t(width) * height;

// Names of the kernel levels, by their number.
constexpr const char* levelNames[] = {"plain", "sse2", "avx2", "avx512"};

// Two bytes of noise per pixel, enough for every layout, so that no kernel
// gains from runs of equal samples.
inline std::vector<uint8_t> makeNoise()
{
    std::vector<uint8_t> made(2 * area);
    uint32_t state = 12345;
    for (uint8_t& byte : made) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return made;
}

} // namespace nebo::bench
