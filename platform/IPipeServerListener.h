#pragma once

#include "foundation/IBase.h"

namespace lumo {

class IPipeClient;
class IPipeServer;

// Told about a server's connections. Called on the thread that noticed the
// event while the server's mutex is held: do not wait for another thread
// that locks the same server.
class IPipeServerListener : public virtual IBase {
public:
    virtual void clientConnected(IPipeServer& server, IPipeClient& client) = 0;
    virtual void clientDisconnected(IPipeServer& server, IPipeClient& client) = 0;
    virtual void dataAvailable(IPipeServer& server, IPipeClient& client) = 0;
};

} // namespace lumo
