#pragma once

#include "foundation/CObject.h"
#include "platform/IProcess.h"
#include "platform/ISignal.h"
#include "platform/IThread.h"

#include <atomic>
#include <cstdint>

namespace nebo::common {

// Ends a slave that does not answer a call in time. Made just before the
// call and dropped right after it: if the call is still running when
// `limitMs` have passed, the slave is killed, which makes the call's
// pending read fail at once. The owner keeps the watchdog alive until it
// is dropped; dropping it waits for its thread to end.
class CSlaveWatchdog : public lumo::CObject {
public:
    CSlaveWatchdog(lumo::P<lumo::IProcess> slave, int32_t limitMs);
    ~CSlaveWatchdog() override;

    // True once the slave was killed for taking too long.
    bool hasFired() const;

private:
    void watch();

    const lumo::P<lumo::IProcess> m_slave;
    const int32_t m_limitMs;
    const lumo::P<lumo::ISignal> m_callEnded;
    std::atomic<bool> m_bFired{false};
    lumo::P<lumo::IThread> m_thread;
};

} // namespace nebo::common
