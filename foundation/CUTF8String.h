#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// UTF-8 text in bytes.
class CUTF8String : public TTypedString<unsigned char, &getUTF8Encoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
