#pragma once

#include "foundation/P.h"
#include "foundation/sync/ISignal.h"

namespace lumo {

class ISignalFactory : public virtual IBase {
public:
    // A new signal, not set. Throws CError when the system cannot make one.
    virtual P<ISignal> createSignal() = 0;
};

// The platform's factory, made anew on each call.
P<ISignalFactory> createSignalFactory();
// The process-wide factory, made at the first call and never destroyed.
P<ISignalFactory> getSignalFactory();

} // namespace lumo
