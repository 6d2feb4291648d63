#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// UTF-16 text in 16-bit wide characters (char16_t, as the platform's
// wchar_t is 32 bits wide).
class CWCharString : public TTypedString<char16_t, &getUTF16Encoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
