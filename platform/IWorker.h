#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace lumo {

class IWorkerManager;

// A unit of periodic work, driven by a worker manager.
class IWorker : public virtual IBase {
public:
    virtual void work() = 0;
    // Milliseconds on a monotonic clock when work() last started; 0 before.
    virtual uint64_t getLastWorkTime() = 0;
    // How often the worker wants to work, in milliseconds; 0 for no wish.
    virtual uint32_t getInterval() = 0;
    // The manager has taken the worker up or let it go.
    virtual void attached(IWorkerManager* manager) = 0;
    virtual void detached(IWorkerManager* manager) = 0;
};

} // namespace lumo
