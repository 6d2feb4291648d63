#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/ISignal.h"

#include <pthread.h>

namespace lumo::posix {

// A manual-reset event: a flag behind a lock and a condition that every
// waiter watches. Timed waits run on the monotonic clock.
class CSignalImpl : public CObject, public virtual ISignal {
public:
    // Not set. Throws CError "Error creating event (%ERRORDESC%).".
    CSignalImpl();
    ~CSignalImpl() override;

    void set() override;
    void reset() override;
    bool isSet() override;
    bool wait(uint64_t timeoutMs) override;

private:
    class CLock;

    pthread_mutex_t m_mutex;
    pthread_cond_t m_condition;
    bool m_set = false;
};

} // namespace lumo::posix
