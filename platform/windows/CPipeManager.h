#pragma once

#include "foundation/CObject.h"
#include "platform/IPipeManager.h"

namespace lumo::win32 {

// Makes the named-pipe ends. Safe from any thread.
class CPipeManager : public CObject, public virtual IPipeManager {
public:
    // Both throw CInvalidArgError for a name that toPipePath refuses.
    P<IPipeServer> createServer(const String& name) override;
    P<IPipeClient> createClient(const String& name) override;
    void checkName(const String& name) override;
};

} // namespace lumo::win32
