#include "host/master/CLaunchedProcess.h"

#include "foundation/CError.h"
#include "foundation/sync/getTickCount.h"

namespace nebo::common {

CLaunchedProcess::CLaunchedProcess(lumo::P<CSlaveLauncher> launcher, uint32_t number,
                                   lumo::P<lumo::IProcessHandle> handle, uint32_t processID, int32_t priority)
    : m_launcher(std::move(launcher)), m_number(number), m_handle(std::move(handle)), m_processID(processID),
      m_priority(priority)
{
}

CLaunchedProcess::~CLaunchedProcess() { m_launcher->forgetChild(m_number); }

bool CLaunchedProcess::hasTerminated() { return !m_handle || m_handle->hasEnded(); }

bool CLaunchedProcess::waitForEnd(uint32_t ms) { return !m_handle || m_handle->waitForEnd(ms); }

int32_t CLaunchedProcess::getExitCode()
{
    lumo::SProcessEnd end;
    return getEnd(end) ? end.exitCode : -1;
}

bool CLaunchedProcess::getEnd(lumo::SProcessEnd& end)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_end) {
        if (!hasTerminated())
            return false;
        lumo::SProcessEnd reported;
        if (!m_launcher->waitForChildEnd(m_number, lumo::getTickCount() + CSlaveLauncher::endReportWaitMs, reported))
            reported.cause = lumo::String("ended unobserved");
        m_end = reported;
    }
    end = *m_end;
    return true;
}

bool CLaunchedProcess::setPriority(int32_t) { return false; }

int32_t CLaunchedProcess::getPriority()
{
    if (hasTerminated())
        throw lumo::CError("getProcessPriority failed. Maybe the process isn't running anymore?", "CLaunchedProcess");
    return m_priority;
}

void CLaunchedProcess::terminate()
{
    if (m_handle)
        m_handle->kill();
}

void CLaunchedProcess::requestHangReport()
{
    if (m_handle)
        m_handle->requestHangReport();
}

uint32_t CLaunchedProcess::getID() { return m_processID; }

} // namespace nebo::common
