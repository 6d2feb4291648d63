#pragma once

#include "foundation/IConstBucket.h"

namespace lumo {

// An indexable collection, only read through this interface. Indices run
// from 0 to getCount() - 1.
class IConstArray : public virtual IConstBucket {
public:
    // Throws CInvalidArgError for an index outside the array.
    virtual P<IBase> get(int32_t index) const = 0;
    // The index of the first occurrence of this very object, -1 when absent.
    virtual int32_t indexOf(const IBase* object) const = 0;
};

} // namespace lumo
