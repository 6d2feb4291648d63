#include "platform/posix/CDynamicLibraryLoader.h"

#include "platform/posix/CDynamicLibrary.h"

namespace lumo::posix {

P<IDynamicLibrary> CDynamicLibraryLoader::load(const String& path)
{
    P<CDynamicLibrary> library = make<CDynamicLibrary>(path);
    if (!library->isLoaded())
        return nullptr;
    return library;
}

} // namespace lumo::posix

namespace lumo {

P<IDynamicLibraryLoader> createDynamicLibraryLoader() { return make<posix::CDynamicLibraryLoader>(); }

} // namespace lumo
