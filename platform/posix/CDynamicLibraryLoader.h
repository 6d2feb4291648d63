#pragma once

#include "foundation/CObject.h"
#include "platform/IDynamicLibraryLoader.h"

namespace lumo::posix {

// Opens CDynamicLibrary objects. Holds nothing.
class CDynamicLibraryLoader : public CObject, public virtual IDynamicLibraryLoader {
public:
    P<IDynamicLibrary> load(const String& path) override;
};

} // namespace lumo::posix
