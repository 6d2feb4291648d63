#pragma once

#include "foundation/TFixedWidthCharEncoding.h"

namespace lumo {

// One 32-bit unit in platform byte order per code point. Any value is taken
// as it is, so every character can be written and every whole unit is valid.
class CUTF32CharEncoding : public TFixedWidthCharEncoding<CUTF32CharEncoding, uint32_t> {
public:
    static constexpr uint32_t tag = utf32Tag;
    static constexpr char name[] = "UTF-32";

    static int32_t encodeChar(uint32_t codePoint, unsigned char* bytes)
    {
        std::memcpy(bytes, &codePoint, unitSize);
        return unitSize;
    }
};

} // namespace lumo
