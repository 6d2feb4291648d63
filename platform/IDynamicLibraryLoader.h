#pragma once

#include "foundation/P.h"
#include "platform/IDynamicLibrary.h"

namespace lumo {

// Opens library files. Stateless; any thread may use it.
class IDynamicLibraryLoader : public virtual IBase {
public:
    // The library at the native `path`, or null when it cannot be loaded
    // (missing file, not a library, unresolved dependencies). Never throws
    // for a file that fails to load: the caller decides what that means.
    virtual P<IDynamicLibrary> load(const String& path) = 0;
};

// The platform's loader, made anew on each call.
P<IDynamicLibraryLoader> createDynamicLibraryLoader();
// The process-wide loader.
P<IDynamicLibraryLoader> getDynamicLibraryLoader();

} // namespace lumo
