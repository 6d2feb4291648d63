#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// Text in the process code page (the current locale), in bytes.
class CCPString : public TTypedString<unsigned char, &getCodePageEncoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
