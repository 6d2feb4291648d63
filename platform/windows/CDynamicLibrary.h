#pragma once

#include "foundation/CObject.h"
#include "platform/IDynamicLibrary.h"

#include <windows.h>

namespace lumo::win32 {

// A DLL loaded by the system loader. Loaded from an absolute path, the
// DLLs it needs are looked for in its own folder first, so a plugin finds
// the ones it ships beside it. The system never shows a dialog for a file
// that fails to load.
class CDynamicLibrary : public CObject, public virtual IDynamicLibrary {
public:
    // Loads the library at the native `path` ("/" taken as "\"); a bare
    // file name is looked for along the system's search path. Never throws:
    // a file that cannot be loaded (missing, not a library, unresolved
    // dependencies, an empty path or one holding a zero character) gives a
    // library whose isLoaded() is false.
    explicit CDynamicLibrary(const String& path);
    // The file is unloaded once nothing else in the process holds it.
    ~CDynamicLibrary() override;

    // The name is looked up in the system's 8-bit code page. Null also for a
    // library that did not load and for an empty name or one holding a zero
    // character.
    void* getSymbol(const String& name) override;
    bool isLoaded() override;

private:
    HMODULE m_module = nullptr;
};

} // namespace lumo::win32
