#include "platform/IDynamicLibraryLoader.h"

#include "foundation/TSingleton.h"

namespace lumo {

namespace {

TSingleton<IDynamicLibraryLoader> holder(&createDynamicLibraryLoader);

} // namespace

P<IDynamicLibraryLoader> getDynamicLibraryLoader() { return holder.get(); }

} // namespace lumo
