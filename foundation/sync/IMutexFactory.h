#pragma once

#include "foundation/P.h"
#include "foundation/sync/IMutex.h"

namespace lumo {

class String;

class IMutexFactory : public virtual IBase {
public:
    // A recursive, process-local lock.
    virtual P<IMutex> createMutex() = 0;
    // A system-wide lock: the same name in two processes is the same lock.
    // A lock whose owner died holding it is taken over without error.
    // Throws CException when the named lock cannot be made.
    virtual P<IMutex> createGlobalMutex(const String& name) = 0;
};

// The platform's factory, made anew on each call.
P<IMutexFactory> createMutexFactory();
// The process-wide factory, made at the first call and never destroyed.
P<IMutexFactory> getMutexFactory();

} // namespace lumo
