#pragma once

#include "foundation/IConstBucket.h"
#include "foundation/IEnum.h"

namespace lumo {

// A collection of objects that can be changed. Elements are counted while
// they are held.
class IBucket : public virtual IConstBucket {
public:
    virtual void add(const P<IBase>& object) = 0;
    // Removes the first occurrence of this very object; false when absent.
    virtual bool remove(const IBase* object) = 0;
    virtual void clear() = 0;
    // A walk over the elements that keeps the collection alive.
    virtual P<IEnum> getEnum() = 0;
};

} // namespace lumo
