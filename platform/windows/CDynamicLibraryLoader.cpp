#include "platform/windows/CDynamicLibraryLoader.h"

#include "platform/windows/CDynamicLibrary.h"

namespace lumo::win32 {

P<IDynamicLibrary> CDynamicLibraryLoader::load(const String& path)
{
    P<CDynamicLibrary> library = make<CDynamicLibrary>(path);
    if (!library->isLoaded())
        return nullptr;
    return library;
}

} // namespace lumo::win32

namespace lumo {

P<IDynamicLibraryLoader> createDynamicLibraryLoader() { return make<win32::CDynamicLibraryLoader>(); }

} // namespace lumo
