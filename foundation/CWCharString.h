#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// UTF-16 text in 16-bit units (char16_t, whatever the width of wchar_t).
class CWCharString : public TTypedString<char16_t, &getUTF16Encoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
