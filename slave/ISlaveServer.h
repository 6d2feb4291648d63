#pragma once

#include "foundation/P.h"
#include "foundation/sync/ISignal.h"

namespace nebo::common {

// What the slave's call loop needs of the server it runs on the pipe.
class ISlaveServer : public virtual lumo::IBase {
public:
    // Set by the master's "Quit" to the plugin server; the loop ends once it is set.
    virtual lumo::P<lumo::ISignal> getQuitSignal() = 0;
    // Reads and serves one request; throws when the pipe or the call fails,
    // CFinishedError when the master closed the pipe.
    virtual void serveNext() = 0;
    // Whether the master's "Quit" reached the server that serves the pipe:
    // the plugin server, or the source server once one took the pipe over.
    // That "Quit" stops only the source server, which serves on until the
    // master closes the pipe.
    virtual bool wasQuitReceived() = 0;
};

} // namespace nebo::common
