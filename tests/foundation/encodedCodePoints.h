#pragma once

#include "foundation/ICharEncoding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

// The units written for one code point: none for one the encoding cannot hold.
template <class Unit> std::basic_string<Unit> encoded(ICharEncoding& encoding, uint32_t codePoint)
{
    Unit buffer[8 / sizeof(Unit)] = {};
    return std::basic_string<Unit>(buffer, encoding.encode(codePoint, buffer, sizeof buffer, 0) / sizeof(Unit));
}

// The code points from the end back to the start, ending in 0xFFFFFFFF where one cannot be read.
inline std::vector<uint32_t> walkedBack(ICharEncoding& encoding, const void* text, int32_t size)
{
    std::vector<uint32_t> codePoints;
    uint32_t codePoint = 0;
    for (int32_t end = size; end > 0; codePoints.push_back(end < 0 ? 0xFFFFFFFF : codePoint))
        end = encoding.decodePrevious(codePoint, text, size, end);
    return codePoints;
}

} // namespace lumo
