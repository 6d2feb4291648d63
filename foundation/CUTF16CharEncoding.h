#pragma once

#include "foundation/TCharEncoding.h"

namespace lumo {

// UTF-16 in 16-bit units of platform byte order. Code points above 0xFFFF
// take a surrogate pair; surrogate code points themselves cannot be written,
// and a surrogate that is not part of a pair is invalid.
class CUTF16CharEncoding : public TCharEncoding<CUTF16CharEncoding> {
public:
    static constexpr uint32_t tag = utf16Tag;
    static constexpr char name[] = "UTF-16";
    static constexpr int32_t unitSize = 2;
    static constexpr bool walksBackwards = true;

    static int32_t maxCharLength() { return 4; }

    static int32_t encodeChar(uint32_t codePoint, unsigned char* bytes)
    {
        if (isSurrogate(codePoint) || codePoint >= 0x110000)
            return 0;
        if (codePoint < 0x10000) {
            storeUnit(bytes, codePoint);
            return 2;
        }
        storeUnit(bytes, 0xD800 | ((codePoint - 0x10000) >> 10));
        storeUnit(bytes + 2, 0xDC00 | (codePoint & 0x3FF));
        return 4;
    }

    static int32_t decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position < 0 || position > size - 2)
            return -1;
        char16_t unit = loadUnit(bytes + position);
        if (!isSurrogate(unit)) {
            codePoint = unit;
            return position + 2;
        }
        if (!isHighSurrogate(unit) || position > size - 4)
            return -1;
        char16_t low = loadUnit(bytes + position + 2);
        if (!isLowSurrogate(low))
            return -1;
        codePoint = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        return position + 4;
    }

    static int32_t decodeCharBefore(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position < 2 || position > size || position % 2 != 0)
            return -1;
        char16_t last = loadUnit(bytes + position - 2);
        int32_t start = isLowSurrogate(last) ? position - 4 : position - 2;
        uint32_t value = 0;
        if (decodeChar(value, bytes, size, start) != position)
            return -1;
        codePoint = value;
        return start;
    }

private:
    static bool isSurrogate(uint32_t value) { return value >= 0xD800 && value <= 0xDFFF; }
    static bool isHighSurrogate(uint32_t value) { return value >= 0xD800 && value <= 0xDBFF; }
    static bool isLowSurrogate(uint32_t value) { return value >= 0xDC00 && value <= 0xDFFF; }

    // Units may sit at any byte offset of a caller's buffer.
    static char16_t loadUnit(const unsigned char* bytes)
    {
        char16_t unit;
        std::memcpy(&unit, bytes, sizeof unit);
        return unit;
    }
    static void storeUnit(unsigned char* bytes, uint32_t value)
    {
        char16_t unit = static_cast<char16_t>(value);
        std::memcpy(bytes, &unit, sizeof unit);
    }
};

} // namespace lumo
