#include "platform/windows/CDynamicLibrary.h"

#include "foundation/windows/toWide.h"

#include <algorithm>
#include <string>

namespace lumo::win32 {

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A drive's root ("C:\...") or a UNC or device path ("\\server\...").
bool isAbsolute(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && isSeparator(path[2]))
        return true;
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

HMODULE loadLibrary(std::wstring path)
{
    // The loader takes only "\" for a separator in its search rules.
    std::replace(path.begin(), path.end(), L'/', L'\\');
    // Only the calling thread's error mode changes, and only while it loads.
    DWORD oldMode = 0;
    const BOOL bModeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &oldMode);
    // The altered search path is undefined for a relative path.
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, isAbsolute(path) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (bModeSet)
        SetThreadErrorMode(oldMode, nullptr);
    return module;
}

} // namespace

CDynamicLibrary::CDynamicLibrary(const String& path)
{
    // An empty name would fail anyway; one cut short by a zero character
    // would name another file.
    if (!path->isEmpty() && path->indexOfChar(0) < 0)
        m_module = loadLibrary(toWide(path));
}

CDynamicLibrary::~CDynamicLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}

void* CDynamicLibrary::getSymbol(const String& name)
{
    if (!m_module || name->isEmpty() || name->indexOfChar(0) >= 0)
        return nullptr;
    // A character the code page lacks would come out as another one and
    // could name another export.
    const std::string symbol = name.toCodePage();
    if (String::fromCodePage(symbol) != name)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(m_module, symbol.c_str()));
}

bool CDynamicLibrary::isLoaded() { return m_module != nullptr; }

} // namespace lumo::win32
