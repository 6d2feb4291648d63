#pragma once

#include "foundation/CObject.h"
#include "foundation/TFrailArray.h"
#include "platform/IWorkerManager.h"

namespace lumo {

class IMutex;

// A worker manager whose interval is the greatest common divisor of its
// workers' wishes (at least 1; 0 when none has one). Safe from any thread;
// a worker may add or remove workers, itself included, while it works.
class CWorkerManager : public CObject, public virtual IWorkerManager {
public:
    CWorkerManager();

    // One step: records the time, then calls every worker from the last
    // added to the first.
    void work() override;
    uint64_t getLastWorkTime() override;
    uint32_t getInterval() override;
    void attached(IWorkerManager* manager) override;
    void detached(IWorkerManager* manager) override;

    void addWorker(IWorker* worker) override;
    bool removeWorker(IWorker* worker) override;
    void detachWorker(IWorker* worker) override;

private:
    void updateInterval();

    P<IMutex> m_mutex;
    P<TFrailArray<IWorker>> m_workers;
    uint64_t m_lastWorkTime = 0;
    uint32_t m_interval = 0;
};

} // namespace lumo
