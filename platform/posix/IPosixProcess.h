#pragma once

#include "platform/IProcess.h"

#include <sys/types.h>

namespace lumo::posix {

class IPosixProcess : public virtual IProcess {
public:
    // The system's identity of the program; it stays reserved for this
    // program until it has ended and the object has noticed or been released.
    virtual pid_t getProcessID() = 0;
};

} // namespace lumo::posix
