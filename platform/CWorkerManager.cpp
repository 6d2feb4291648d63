#include "platform/CWorkerManager.h"

#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/getTickCount.h"

#include <numeric>

namespace lumo {

CWorkerManager::CWorkerManager() : m_mutex(getMutexFactory()->createMutex()), m_workers(make<TFrailArray<IWorker>>()) {}

void CWorkerManager::work()
{
    CScopedLock lock(m_mutex);
    m_lastWorkTime = static_cast<uint64_t>(getTickCount());
    m_workers->forEachBackwards([](IWorker* worker) { worker->work(); });
}

uint64_t CWorkerManager::getLastWorkTime()
{
    CScopedLock lock(m_mutex);
    return m_lastWorkTime;
}

uint32_t CWorkerManager::getInterval()
{
    CScopedLock lock(m_mutex);
    return m_interval;
}

// A manager driven by another needs nothing from it: the driver reads this
// manager's interval whenever it recomputes its own.
void CWorkerManager::attached(IWorkerManager*) {}
void CWorkerManager::detached(IWorkerManager*) {}

void CWorkerManager::addWorker(IWorker* worker)
{
    {
        CScopedLock lock(m_mutex);
        m_workers->add(worker);
        updateInterval();
    }
    worker->attached(this);
}

bool CWorkerManager::removeWorker(IWorker* worker)
{
    CScopedLock lock(m_mutex);
    if (!m_workers->remove(worker))
        return false;
    updateInterval();
    return true;
}

void CWorkerManager::detachWorker(IWorker* worker)
{
    if (removeWorker(worker))
        worker->detached(this);
}

void CWorkerManager::updateInterval()
{
    uint32_t interval = 0;
    for (int32_t i = 0; i < m_workers->getCount() && interval != 1; ++i) {
        // gcd(0, wish) is the wish itself, and a wish of 0 changes nothing.
        interval = std::gcd(interval, m_workers->get(i)->getInterval());
    }
    m_interval = interval;
}

} // namespace lumo
