#pragma once

#include "foundation/CObject.h"
#include "platform/IDynamicLibraryLoader.h"

namespace lumo::win32 {

// Opens CDynamicLibrary objects. Holds nothing.
class CDynamicLibraryLoader : public CObject, public virtual IDynamicLibraryLoader {
public:
    P<IDynamicLibrary> load(const String& path) override;
};

} // namespace lumo::win32
