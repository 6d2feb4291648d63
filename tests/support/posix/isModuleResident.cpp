#include "support/isModuleResident.h"

#include <dlfcn.h>

namespace lumo {

bool isModuleResident(const std::string& path)
{
    // A successful look-up counts as one more opening.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

} // namespace lumo
