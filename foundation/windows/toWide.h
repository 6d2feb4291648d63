#pragma once

#include "foundation/String.h"

#include <string>

namespace lumo::win32 {

// Text for the wide-character system calls (UTF-16) and back.
inline std::wstring toWide(const String& text)
{
    const std::u16string utf16 = text->toUTF16();
    return std::wstring(utf16.begin(), utf16.end());
}

inline String fromWide(const std::wstring& text) { return String::fromUTF16(std::u16string(text.begin(), text.end())); }

} // namespace lumo::win32
