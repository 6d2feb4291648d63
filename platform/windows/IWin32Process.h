#pragma once

#include "platform/IProcess.h"

#include <windows.h>

namespace lumo::win32 {

class IWin32Process : public virtual IProcess {
public:
    // The system's handle of the program, owned by the process object and
    // valid for as long as it lives; it keeps the program's identity and exit
    // code from being reused or lost.
    virtual HANDLE getProcessHandle() = 0;
};

} // namespace lumo::win32
