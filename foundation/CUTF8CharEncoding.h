#pragma once

#include "foundation/TCharEncoding.h"

namespace lumo {

// UTF-8 in the byte layout of RFC 3629. Surrogate code points are written
// and read like any other three-byte value; overlong forms, lead bytes from
// 0xF8 up and values from 0x110000 up are invalid.
class CUTF8CharEncoding : public TCharEncoding<CUTF8CharEncoding> {
public:
    static constexpr uint32_t tag = utf8Tag;
    static constexpr char name[] = "UTF-8";
    static constexpr int32_t unitSize = 1;
    static constexpr bool walksBackwards = true;

    static int32_t maxCharLength() { return 4; }

    static int32_t encodeChar(uint32_t codePoint, unsigned char* bytes)
    {
        if (codePoint < 0x80) {
            bytes[0] = static_cast<unsigned char>(codePoint);
            return 1;
        }
        if (codePoint >= 0x110000)
            return 0;
        int32_t following = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
        static constexpr unsigned char leadMarks[] = {0, 0xC0, 0xE0, 0xF0};
        bytes[0] = static_cast<unsigned char>(leadMarks[following] | (codePoint >> (6 * following)));
        for (int32_t i = 1; i <= following; ++i)
            bytes[i] = static_cast<unsigned char>(0x80 | ((codePoint >> (6 * (following - i))) & 0x3F));
        return following + 1;
    }

    static int32_t decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position < 0 || position >= size)
            return -1;
        unsigned char lead = bytes[position];
        if (lead < 0x80) {
            codePoint = lead;
            return position + 1;
        }
        if (isContinuation(lead) || lead >= 0xF8)
            return -1;
        int32_t following = lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        if (following >= size - position)
            return -1;
        uint32_t value = lead & (0x3F >> following);
        for (int32_t i = 1; i <= following; ++i) {
            unsigned char next = bytes[position + i];
            if (!isContinuation(next))
                return -1;
            value = (value << 6) | (next & 0x3F);
        }
        // The smallest value that needs each length; anything below is overlong.
        static constexpr uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (value < minimum[following] || value >= 0x110000)
            return -1;
        codePoint = value;
        return position + following + 1;
    }

    static int32_t decodeCharBefore(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
    {
        if (position <= 0 || position > size)
            return -1;
        int32_t start = position - 1;
        while (start > 0 && start > position - 4 && isContinuation(bytes[start]))
            --start;
        uint32_t value = 0;
        if (decodeChar(value, bytes, size, start) != position)
            return -1;
        codePoint = value;
        return start;
    }

private:
    static bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
};

} // namespace lumo
