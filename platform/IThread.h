#pragma once

#include "foundation/IBase.h"

namespace lumo {

// A running (or ended) thread started by IThreadManager. Dropping the last
// reference neither waits for nor stops the thread.
class IThread : public virtual IBase {
public:
    enum Priority {
        priorityIdle = 0,
        priorityLowest = 1,
        priorityBelowNormal = 2,
        priorityNormal = 3,
        priorityAboveNormal = 4,
        priorityHighest = 5,
        priorityTimeCritical = 6,
    };

    // Waits without limit until the thread has ended; any number of threads
    // may wait. Throws CError when called from the thread itself.
    virtual void join() = 0;
    // One of Priority; any other level means normal. A raise that the system
    // does not permit leaves the thread as it is; any other refusal throws
    // CError "Error setting thread priority". A thread that has ended is
    // left alone.
    virtual void setPriority(int level) = 0;
};

} // namespace lumo
