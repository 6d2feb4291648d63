#pragma once

#include "foundation/TCharEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace lumo {

// An encoding with one code unit of type `Unit` per character, in which
// every complete unit is valid: counting and skipping are arithmetic.
// `Codec` adds tag, name and encodeChar.
template <class Codec, class Unit> class TFixedWidthCharEncoding : public TCharEncoding<Codec> {
public:
    static constexpr int32_t unitSize = sizeof(Unit);
    static constexpr bool walksBackwards = true;

    static int32_t maxCharLength() { return unitSize; }

    static int32_t decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position < 0 || position > size - unitSize)
            return -1;
        Unit unit;
        std::memcpy(&unit, bytes + position, unitSize);
        codePoint = unit;
        return position + unitSize;
    }

    static int32_t decodeCharBefore(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position % unitSize != 0)
            return -1;
        int32_t start = position - unitSize;
        return decodeChar(codePoint, bytes, size, start) == position ? start : -1;
    }

    int32_t countChars(const void*, int32_t size, int32_t position) override
    {
        return std::max(size - std::max(position, 0), 0) / unitSize;
    }

    int32_t skipChars(const void*, int32_t size, int32_t position, int32_t count) override
    {
        position = std::max(position, 0);
        int32_t available = std::max(size - position, 0) / unitSize;
        return count <= available ? position + std::max(count, 0) * unitSize : size;
    }
};

} // namespace lumo
