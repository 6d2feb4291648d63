#pragma once

#include "foundation/IConstEnum.h"

namespace lumo {

// An enumerator that can also step over elements without handing them out.
class IEnum : public virtual IConstEnum {
public:
    // Steps over the next element. Throws CEndOfEnumError when none is left.
    virtual void skip() = 0;
};

} // namespace lumo
