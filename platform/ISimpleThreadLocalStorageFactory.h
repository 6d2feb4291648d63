#pragma once

#include "foundation/P.h"
#include "platform/ISimpleThreadLocalStorage.h"

namespace lumo {

class ISimpleThreadLocalStorageFactory : public virtual IBase {
public:
    // A new slot. Throws CError when the system has none left.
    virtual P<ISimpleThreadLocalStorage> createStorage() = 0;
};

// The platform's factory, made anew on each call.
P<ISimpleThreadLocalStorageFactory> createSimpleThreadLocalStorageFactory();
// The process-wide factory.
P<ISimpleThreadLocalStorageFactory> getSimpleThreadLocalStorageFactory();

} // namespace lumo
