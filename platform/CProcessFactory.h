#pragma once

#include "foundation/CObject.h"
#include "platform/CProcessOptions.h"
#include "platform/IProcessFactory.h"

namespace lumo {

// Starts the platform's programs for "file" URIs (the scheme in any case)
// that name local files, and for URIs without a scheme, whose decoded path
// is taken as a native path. Any other URI is not handled. Which "file" URIs
// name local files is the platform's mapping of paths (nativeFilePath.h): a
// host other than "localhost" names none on POSIX, a network share on
// Windows.
class CProcessFactory : public CObject, public virtual IProcessFactory {
public:
    // A working directory that names no local file throws
    // CURITypeNotSupportedError; a path holding a zero character
    // CURIFormatError. `other` counts when it is a CProcessOptions.
    P<IProcess> tryCreateProcess(const P<IURI>& executable, const String& arguments,
                                 const PFrail<IURI>& workingDirectory, const PFrail<IBase>& other,
                                 int32_t priority) override;
    P<IProcess> createProcess(const P<IURI>& executable, const String& arguments, const PFrail<IURI>& workingDirectory,
                              const PFrail<IBase>& other, int32_t priority) override;

private:
    // The backend's start of the program at the native `programPath`, in
    // `workingDirectory` unless it is empty; throws what its process class
    // throws. `options` may be null.
    static P<IProcess> startProgram(const String& programPath, const String& arguments, const String& workingDirectory,
                                    int32_t priority, const CProcessOptions* options);
};

} // namespace lumo
