#include "foundation/codePageChars.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cwchar>

// The code page is the C library's current locale, converted through wide
// characters, which must hold any code point.
namespace lumo {

static_assert(MB_LEN_MAX <= maxCodePageCharBytes);
static_assert(sizeof(wchar_t) == sizeof(uint32_t), "wide characters must hold any code point");

int32_t getMaxCodePageCharLength() { return static_cast<int32_t>(MB_CUR_MAX); }

int32_t encodeCodePageChar(uint32_t codePoint, unsigned char* bytes)
{
    std::mbstate_t state{};
    size_t length = std::wcrtomb(reinterpret_cast<char*>(bytes), static_cast<wchar_t>(codePoint), &state);
    return length == static_cast<size_t>(-1) ? 0 : static_cast<int32_t>(length);
}

int32_t decodeCodePageChar(uint32_t& codePoint, const unsigned char* bytes, int32_t available)
{
    if (bytes[0] == 0) {
        codePoint = 0;
        return 1;
    }
    std::mbstate_t state{};
    wchar_t wide;
    const size_t readable = std::min<size_t>(static_cast<size_t>(available), MB_CUR_MAX);
    const size_t length = std::mbrtowc(&wide, reinterpret_cast<const char*>(bytes), readable, &state);
    if (length == 0 || length > readable)
        return -1;
    codePoint = static_cast<uint32_t>(wide);
    return static_cast<int32_t>(length);
}

} // namespace lumo
