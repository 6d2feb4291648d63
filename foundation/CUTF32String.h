#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// UTF-32 text in 32-bit units.
class CUTF32String : public TTypedString<char32_t, &getUTF32Encoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
