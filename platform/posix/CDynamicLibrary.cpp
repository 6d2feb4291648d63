#include "platform/posix/CDynamicLibrary.h"

#include <dlfcn.h>
#include <optional>
#include <string>

namespace lumo::posix {

namespace {

// The text as the C string the loader needs; nothing when a zero character
// would cut it short and make it name something else.
std::optional<std::string> cStringOf(const String& text)
{
    if (text->indexOfChar(0) >= 0)
        return std::nullopt;
    return text.toUTF8();
}

} // namespace

CDynamicLibrary::CDynamicLibrary(const String& path)
{
    // An empty name would hand out the running program itself.
    const std::optional<std::string> nativePath = cStringOf(path);
    if (nativePath && !nativePath->empty())
        m_handle = dlopen(nativePath->c_str(), RTLD_NOW | RTLD_LOCAL);
}

CDynamicLibrary::~CDynamicLibrary()
{
    if (m_handle)
        dlclose(m_handle);
}

void* CDynamicLibrary::getSymbol(const String& name)
{
    const std::optional<std::string> symbol = cStringOf(name);
    if (!m_handle || !symbol)
        return nullptr;
    return dlsym(m_handle, symbol->c_str());
}

bool CDynamicLibrary::isLoaded() { return m_handle != nullptr; }

} // namespace lumo::posix
