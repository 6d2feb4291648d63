#include "platform/CProcessOptions.h"

#include "foundation/windows/toWide.h"

#include <windows.h>

namespace lumo {

void CProcessOptions::takeCallerVariables(const std::function<bool(const std::string& name)>& isWanted)
{
    environment.clear();
    wchar_t* const block = GetEnvironmentStringsW();
    // Each variable ends with a zero, the block with one more.
    for (const wchar_t* entry = block; entry && *entry; entry += wcslen(entry) + 1) {
        const std::string variable = win32::fromWide(entry).toUTF8();
        // The system's hidden per-drive variables ("=C:=C:\\work") start with '='.
        if (isWanted(variable.substr(0, variable.find('=', 1))))
            environment.push_back(variable);
    }
    if (block)
        FreeEnvironmentStringsW(block);
    bOwnEnvironment = true;
}

} // namespace lumo
