#pragma once

#include "foundation/P.h"

namespace lumo {

// A per-thread value of any number of threads: each thread stores and reads
// its own raw pointer and its own counted object. A thread's values are
// released when a thread started by the thread manager ends.
class IThreadLocalStorage : public virtual IBase {
public:
    // The raw value is not counted: its owner keeps it alive.
    virtual void setValue(void* value) = 0;
    // Null when the calling thread stored none.
    virtual void* getValue() const = 0;
    // Counts the new object and releases the one it replaces.
    virtual void setObject(IBase* object) = 0;
    // Null when the calling thread stored none.
    virtual P<IBase> getObject() const = 0;
};

} // namespace lumo
