#include "foundation/CCPCharEncoding.h"

#include "foundation/CMethodNotImplementedError.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>

namespace lumo {

static_assert(MB_LEN_MAX <= CCPCharEncoding::maxEncodedLength);
static_assert(sizeof(wchar_t) == sizeof(uint32_t), "wide characters must hold any code point");

int32_t CCPCharEncoding::maxCharLength()
{
    return static_cast<int32_t>(MB_CUR_MAX);
}

int32_t CCPCharEncoding::encodeChar(uint32_t codePoint, unsigned char* bytes)
{
    if (codePoint > 0xFFFF)
        return 0;
    std::mbstate_t state{};
    size_t length = std::wcrtomb(reinterpret_cast<char*>(bytes), static_cast<wchar_t>(codePoint), &state);
    return length == static_cast<size_t>(-1) ? 0 : static_cast<int32_t>(length);
}

int32_t CCPCharEncoding::decodeChar(uint32_t& codePoint, const unsigned char* bytes, int32_t size, int32_t position)
{
    if (position < 0 || position >= size)
        return -1;
    if (bytes[position] == 0) {
        codePoint = 0;
        return position + 1;
    }
    std::mbstate_t state{};
    wchar_t wide;
    size_t available = std::min<size_t>(size - position, MB_CUR_MAX);
    size_t length = std::mbrtowc(&wide, reinterpret_cast<const char*>(bytes + position), available, &state);
    if (length == 0 || length > available)
        return -1;
    codePoint = static_cast<uint32_t>(wide);
    return position + static_cast<int32_t>(length);
}

int32_t CCPCharEncoding::decodeCharBefore(uint32_t&, const unsigned char*, int32_t, int32_t)
{
    throw CMethodNotImplementedError(String(), this);
}

} // namespace lumo
