#pragma once

#include "foundation/CObject.h"
#include "platform/IProcessFactory.h"

namespace lumo::win32 {

// Starts CProcess programs for "file" URIs (the scheme in any case), whose
// native path the path service gives, and for URIs without a scheme, whose
// decoded path is taken as a native path. Any other URI is not handled.
class CProcessFactory : public CObject, public virtual IProcessFactory {
public:
    // A working directory that names no local file throws
    // CURITypeNotSupportedError; a path holding a zero character
    // CURIFormatError. `other` counts when it is a CProcessOptions.
    P<IProcess> tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                 int32_t priority) override;
    P<IProcess> createProcess(const P<IURI>& executable, const String& arguments,
                              const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                              int32_t priority) override;
};

} // namespace lumo::win32
