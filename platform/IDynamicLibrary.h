#pragma once

#include "foundation/IBase.h"
#include "foundation/String.h"

namespace lumo {

// A loaded library file. The file stays loaded while any reference to the
// library exists and is unloaded when the last one goes, so whoever holds
// code or data from it must also hold the library.
class IDynamicLibrary : public virtual IBase {
public:
    // The address of the exported symbol, or null when the library does not
    // export it.
    virtual void* getSymbol(const String& name) = 0;
    virtual bool isLoaded() = 0;
};

} // namespace lumo
