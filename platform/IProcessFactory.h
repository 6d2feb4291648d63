#pragma once

#include "foundation/IURI.h"
#include "foundation/PFrail.h"
#include "platform/IProcess.h"

#include <cstdint>

namespace lumo {

// Starts programs named by the URIs it handles. The arguments are one text;
// how it becomes the program's arguments is the factory's rule. The working
// directory may be empty (the program starts in the caller's); `other` may
// hold a CProcessOptions, and is otherwise ignored; it may be empty.
// Thread-safe.
class IProcessFactory : public virtual IBase {
public:
    // Null for a URI the factory does not handle; for one it handles, a
    // program that cannot be started throws CError.
    virtual P<IProcess> tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                         const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                         int32_t priority) = 0;
    // As tryCreateProcess, but throws CURITypeNotSupportedError for a URI the
    // factory does not handle.
    virtual P<IProcess> createProcess(const P<IURI>& executable, const String& arguments,
                                      const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                      int32_t priority) = 0;
};

// The plain form of every factory: `factory`'s tryCreateProcess, throwing
// CURITypeNotSupportedError for the executable when it gives null.
P<IProcess> createProcessOrThrow(IProcessFactory& factory, const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other, int32_t priority);

// The platform's factory for "file" URIs and URIs without a scheme.
P<IProcessFactory> createPlatformProcessFactory();

} // namespace lumo
