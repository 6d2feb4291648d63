#pragma once

#include "foundation/P.h"

#include <cstdint>

namespace lumo {

// A read-only walk over a sequence of objects. An enumerator belongs to one
// thread at a time; it does not lock.
class IConstEnum : public virtual IBase {
public:
    virtual bool hasMoreElements() = 0;
    // How many elements are left, or -1 when that is not known without
    // walking them.
    virtual int32_t getRemainingCount() = 0;
    // The next element (may be null when the sequence holds nulls). Throws
    // CEndOfEnumError when none is left.
    virtual P<IBase> nextElement() = 0;
    // Starts the walk over from the first element.
    virtual void reset() = 0;
};

} // namespace lumo
