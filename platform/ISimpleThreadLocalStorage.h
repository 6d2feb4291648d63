#pragma once

#include "foundation/IBase.h"

namespace lumo {

// One system thread-local slot: each thread sees its own pointer, null until
// it stores one. The slot is freed with the object; values are never
// released by it.
class ISimpleThreadLocalStorage : public virtual IBase {
public:
    virtual void setValue(void* value) = 0;
    virtual void* getValue() = 0;
};

} // namespace lumo
