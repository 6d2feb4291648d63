#include "foundation/CCPCharEncoding.h"

#include "foundation/CMethodNotImplementedError.h"
#include "foundation/codePageChars.h"

namespace lumo {

static_assert(maxCodePageCharBytes <= CCPCharEncoding::maxEncodedLength);

int32_t CCPCharEncoding::maxCharLength() { return getMaxCodePageCharLength(); }

int32_t CCPCharEncoding::encodeChar(uint32_t codePoint, unsigned char* bytes)
{
    if (codePoint > 0xFFFF)
        return 0;
    return encodeCodePageChar(codePoint, bytes);
}

int32_t CCPCharEncoding::decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
{
    if (position < 0 || position >= size)
        return -1;
    const int32_t length = decodeCodePageChar(codePoint, bytes + position, size - position);
    return length < 0 ? -1 : position + length;
}

int32_t CCPCharEncoding::decodeCharBefore(uint32_t&, const unsigned char*, int32_t, int32_t)
{
    throw CMethodNotImplementedError(String(), this);
}

} // namespace lumo
