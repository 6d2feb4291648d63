#pragma once

#include "foundation/P.h"
#include "platform/ISignal.h"

namespace nebo::common {

// What the slave's call loop needs of the server it runs on the pipe.
class ISlaveServer : public virtual lumo::IBase {
public:
    // Set by the master's "Quit"; the loop ends once it is set.
    virtual lumo::P<lumo::ISignal> getQuitSignal() = 0;
    // Reads and serves one request; throws when the pipe or the call fails.
    virtual void processNext() = 0;
};

} // namespace nebo::common
