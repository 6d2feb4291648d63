#pragma once

#include "platform/IWorker.h"

namespace lumo {

// Drives a list of workers. Its own interval is the one that suits them
// all, so a manager can itself be driven as a worker. The list does not
// keep workers alive: a worker must leave before it dies.
class IWorkerManager : public virtual IWorker {
public:
    // Takes the worker up and tells it so.
    virtual void addWorker(IWorker* worker) = 0;
    // Takes the worker out without telling it, as a worker that leaves on
    // its own (often while it dies) wants. False when it was not there.
    virtual bool removeWorker(IWorker* worker) = 0;
    // Takes the worker out and tells it so; nothing when it was not there.
    virtual void detachWorker(IWorker* worker) = 0;
};

} // namespace lumo
