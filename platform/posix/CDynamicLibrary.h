#pragma once

#include "foundation/CObject.h"
#include "platform/IDynamicLibrary.h"

namespace lumo::posix {

// A library file opened with the platform's dynamic loader. Its own
// dependencies are resolved at once and its symbols stay out of the global
// namespace, so two plugins cannot capture each other's names.
class CDynamicLibrary : public CObject, public virtual IDynamicLibrary {
public:
    // Opens the library at the native `path`; a bare file name is looked
    // for along the loader's search path, as the system does. Never throws:
    // a file that cannot be loaded (missing, not a library, unresolved
    // dependencies, an empty path or one holding a zero character) gives a
    // library whose isLoaded() is false.
    explicit CDynamicLibrary(const String& path);
    // Closes the library; the file is unloaded once nothing else holds it.
    ~CDynamicLibrary() override;

    // Null also for a library that did not load and for a name holding a
    // zero character.
    void* getSymbol(const String& name) override;
    bool isLoaded() override;

private:
    void* m_handle = nullptr;
};

} // namespace lumo::posix
