#pragma once

#include "foundation/IConstEnum.h"

namespace lumo {

// A collection of objects (nulls allowed) that is only read through this
// interface. Not locked: its owner locks.
class IConstBucket : public virtual IBase {
public:
    virtual int32_t getCount() const = 0;
    virtual bool isEmpty() const = 0;
    // Whether the collection holds this very object (identity, not equality).
    virtual bool contains(const IBase* object) const = 0;
    // A walk over the elements that keeps the collection alive.
    virtual P<IConstEnum> getConstEnum() const = 0;
};

} // namespace lumo
