#pragma once

#include "foundation/TTypedString.h"

namespace lumo {

// Latin-1 text in chars.
class CLatin1String : public TTypedString<char, &getLatin1Encoding> {
public:
    using TTypedString::TTypedString;
};

} // namespace lumo
