#include "crashhandler/windows/listModules.h"

#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

namespace crashhandler {

namespace {

void copyName(char (&target)[sizeof SModule::name], const wchar_t* name)
{
    size_t length = 0;
    for (; name[length] != L'\0' && length < sizeof target - 1; ++length)
        target[length] = name[length] >= L' ' && name[length] <= L'~' ? static_cast<char>(name[length]) : '?';
    target[length] = '\0';
}

} // namespace

void listModules(SModuleList& modules) noexcept
{
    modules.moduleCount = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32W entry;
    entry.dwSize = sizeof entry;
    for (BOOL found = Module32FirstW(snapshot, &entry); found && modules.moduleCount < SModuleList::maxModules;
         found = Module32NextW(snapshot, &entry)) {
        SModule& module = modules.modules[modules.moduleCount++];
        copyName(module.name, entry.szModule);
        module.base = reinterpret_cast<uintptr_t>(entry.modBaseAddr);
        module.size = entry.modBaseSize;
    }
    CloseHandle(snapshot);
}

} // namespace crashhandler
