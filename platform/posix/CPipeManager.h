#pragma once

#include "foundation/CObject.h"
#include "platform/IPipeManager.h"

namespace lumo::posix {

// Makes the local-socket ends of pipes. Safe from any thread.
class CPipeManager : public CObject, public virtual IPipeManager {
public:
    // Both throw CInvalidArgError for a name that is not one plain word,
    // CException when the pipe's socket path is too long for a socket
    // address (see CPipeAddress).
    P<IPipeServer> createServer(const String& name) override;
    P<IPipeClient> createClient(const String& name) override;
    void checkName(const String& name) override;
};

} // namespace lumo::posix
