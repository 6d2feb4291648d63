#pragma once

#include "foundation/IBase.h"
#include "foundation/P.h"

#include <cstdint>

namespace lumo {

// A running process that the caller did not start (a launcher's child),
// held so that its identity cannot pass to another process while held:
// signals reach it or nothing. Safe from any thread.
class IProcessHandle : public virtual IBase {
public:
    virtual bool hasEnded() = 0;
    // True once the process has ended, waiting at most `ms`.
    virtual bool waitForEnd(uint32_t ms) = 0;
    // Kills the process at once; nothing once it has ended.
    virtual void kill() = 0;
    // The hang-report request of IProcess::requestHangReport.
    virtual void requestHangReport() = 0;
    virtual uint32_t getID() = 0;
};

// The process `processID` when it still runs and its parent is
// `parentID`; null otherwise, and where the platform has no such handles.
P<IProcessHandle> openProcessHandle(uint32_t processID, uint32_t parentID);

} // namespace lumo
