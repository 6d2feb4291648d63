#pragma once

#include "foundation/IBucket.h"
#include "foundation/IConstArray.h"

namespace lumo {

// An indexable collection that can be changed. Operations given an index
// outside the array throw CInvalidArgError and change nothing.
class IArray : public virtual IBucket, public virtual IConstArray {
public:
    // Replaces the element at the index (the old one is released).
    virtual void set(int32_t index, const P<IBase>& object) = 0;
    // Inserts before the index; getCount() appends.
    virtual void insert(int32_t index, const P<IBase>& object) = 0;
    virtual void removeAt(int32_t index) = 0;
};

} // namespace lumo
