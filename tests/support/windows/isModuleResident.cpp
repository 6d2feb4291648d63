#include "support/isModuleResident.h"

#include "foundation/String.h"
#include "foundation/windows/toWide.h"

#include <windows.h>

namespace lumo {

bool isModuleResident(const std::string& path)
{
    // Counts no reference, unlike loading.
    return GetModuleHandleW(win32::toWide(String::fromUTF8(path)).c_str()) != nullptr;
}

} // namespace lumo
