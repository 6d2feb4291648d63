#include "host/CSlaveWatchdog.h"

#include "platform/CThreadCallable.h"
#include "platform/ISignalFactory.h"
#include "platform/IThreadManager.h"

namespace nebo::common {

CSlaveWatchdog::CSlaveWatchdog(lumo::P<lumo::IProcess> slave, int32_t limitMs)
    : m_slave(std::move(slave)), m_limitMs(limitMs), m_callEnded(lumo::getSignalFactory()->createSignal())
{
    m_thread = lumo::getThreadManager()->createThread(lumo::CThreadCallable(this, &CSlaveWatchdog::watch, false));
}

CSlaveWatchdog::~CSlaveWatchdog()
{
    m_callEnded->set();
    m_thread->join();
}

bool CSlaveWatchdog::hasFired() const
{
    return m_bFired;
}

void CSlaveWatchdog::watch()
{
    if (m_callEnded->wait(static_cast<uint64_t>(m_limitMs)) || !m_slave)
        return;
    m_bFired = true;
    m_slave->terminate();
}

} // namespace nebo::common
