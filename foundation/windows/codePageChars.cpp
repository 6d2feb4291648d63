#include "foundation/codePageChars.h"

#include <algorithm>
#include <windows.h>

// The code page is the system's ANSI code page (CP_ACP), converted through
// UTF-16 by the system.
namespace lumo {

int32_t getMaxCodePageCharLength()
{
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info))
        return 1;
    return std::min<int32_t>(static_cast<int32_t>(info.MaxCharSize), maxCodePageCharBytes);
}

int32_t encodeCodePageChar(uint32_t codePoint, unsigned char* bytes)
{
    // A lone surrogate is no character in any code page.
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF)
        return 0;
    const wchar_t unit = static_cast<wchar_t>(codePoint);
    // A character the code page lacks would come out as its default one;
    // UTF-8 (65001) refuses the flag that reports it and has every character.
    BOOL usedDefault = FALSE;
    BOOL* reportDefault = GetACP() == CP_UTF8 ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(CP_ACP, reportDefault ? WC_NO_BEST_FIT_CHARS : 0, &unit, 1, reinterpret_cast<char*>(bytes),
                            getMaxCodePageCharLength(), nullptr, reportDefault);
    return usedDefault ? 0 : length;
}

int32_t decodeCodePageChar(uint32_t& codePoint, const unsigned char* bytes, int32_t available)
{
    if (bytes[0] == 0) {
        codePoint = 0;
        return 1;
    }
    // The shortest run of bytes that converts without error is the character.
    const int32_t longest = std::min(available, getMaxCodePageCharLength());
    for (int32_t length = 1; length <= longest; ++length) {
        wchar_t units[2];
        const int count =
            MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes), length, units, 2);
        if (count == 1) {
            codePoint = units[0];
            return length;
        }
        if (count == 2 && IS_HIGH_SURROGATE(units[0]) && IS_LOW_SURROGATE(units[1])) {
            codePoint = 0x10000 + ((units[0] - 0xD800u) << 10) + (units[1] - 0xDC00u);
            return length;
        }
    }
    return -1;
}

} // namespace lumo
