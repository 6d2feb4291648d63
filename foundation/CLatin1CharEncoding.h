#pragma once

#include "foundation/TFixedWidthCharEncoding.h"

namespace lumo {

// ISO 8859-1: each byte is the code point of the same value. Code points of
// 256 and above are written as "?", so every character can be written.
class CLatin1CharEncoding : public TFixedWidthCharEncoding<CLatin1CharEncoding, unsigned char> {
public:
    static constexpr uint32_t tag = latin1Tag;
    static constexpr char name[] = "Latin-1";

    static int32_t encodeChar(uint32_t codePoint, unsigned char* bytes)
    {
        bytes[0] = codePoint < 256 ? static_cast<unsigned char>(codePoint) : '?';
        return 1;
    }
};

} // namespace lumo
