#pragma once

#include "foundation/P.h"
#include "platform/IPipeClient.h"
#include "platform/IPipeServer.h"

namespace lumo {

class String;

// Makes the two ends of named pipes. A name is a bare word; the platform
// decides where it lives.
class IPipeManager : public virtual IBase {
public:
    // A new server, not started.
    virtual P<IPipeServer> createServer(const String& name) = 0;
    // A new client, not connected.
    virtual P<IPipeClient> createClient(const String& name) = 0;
    // Throws what createServer would throw for `name` when the platform
    // cannot make a pipe of that name here (such as a pipe place too long
    // for its addresses); makes nothing.
    virtual void checkName(const String& name) = 0;
};

P<IPipeManager> createPipeManager();
P<IPipeManager> getPipeManager();

} // namespace lumo
