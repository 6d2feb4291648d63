#pragma once

#include "foundation/TCharEncoding.h"

namespace lumo {

// The multi-byte text of the process code page, converted one character at
// a time by the platform (codePageChars.h) with a fresh conversion state (so
// shift-state encodings are not supported). Only code points up to 0xFFFF can be
// written. The byte layout cannot be read from the end: the backward
// operations throw CMethodNotImplementedError.
class CCPCharEncoding : public TCharEncoding<CCPCharEncoding> {
public:
    static constexpr uint32_t tag = codePageTag;
    static constexpr char name[] = "CodePage";
    static constexpr int32_t unitSize = 1;
    static constexpr bool walksBackwards = false;

    // The locale's bound, which changes with the locale.
    static int32_t maxCharLength();
    static int32_t encodeChar(uint32_t codePoint, unsigned char* bytes);
    static int32_t decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position);
    [[noreturn]] int32_t decodeCharBefore(uint32_t& codePoint, const unsigned char* bytes, int32_t size,
                                          int32_t position);
};

} // namespace lumo
