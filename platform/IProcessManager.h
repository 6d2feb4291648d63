#pragma once

#include "platform/IProcessFactory.h"

namespace lumo {

// Starts a program through the first of its factories, in the order they
// were added, that handles the executable's URI; the plain form throws
// CURITypeNotSupportedError when none does. A null executable throws
// CInvalidArgError. Thread-safe: starts from several threads are taken one
// at a time.
class IProcessManager : public virtual IProcessFactory {
public:
    virtual void addFactory(const P<IProcessFactory>& factory) = 0;
    // Forgets every addition of `factory`; an unknown one is ignored.
    virtual void removeFactory(IProcessFactory* factory) = 0;
};

// A new manager with the platform's factory added.
P<IProcessManager> createProcessManager();
// The process-wide manager, made by createProcessManager().
P<IProcessManager> getProcessManager();

} // namespace lumo
