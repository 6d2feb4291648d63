#include "platform/posix/CProcessHandle.h"

#include "crashhandler/posix/hangReportSignal.h"
#include "foundation/sync/getTickCount.h"
#include "platform/posix/openProcessDescriptor.h"
#include "platform/posix/pollRetrying.h"

#include <algorithm>
#include <climits>
#include <csignal>
#include <fstream>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// The parent's identity as /proc tells it; -1 when it cannot.
pid_t parentOf(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("PPid:", 0) == 0)
            return static_cast<pid_t>(std::stol(line.substr(5)));
    return -1;
}

} // namespace

CProcessHandle::CProcessHandle(pid_t pid, CFileDescriptor descriptor) : m_pid(pid), m_descriptor(std::move(descriptor))
{
}

bool CProcessHandle::hasEnded() { return waitForEnd(0); }

bool CProcessHandle::waitForEnd(uint32_t ms)
{
    const int64_t deadline = getTickCount() + ms;
    for (;;) {
        pollfd watched{m_descriptor.get(), POLLIN, 0};
        const int64_t left = deadline - getTickCount();
        if (pollRetrying(&watched, 1, static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(left, INT_MAX)))) > 0)
            return true;
        if (left <= 0)
            return false;
    }
}

void CProcessHandle::send(int signal)
{
    // An ended process takes no signal; its descriptor reaches no other.
    ::syscall(SYS_pidfd_send_signal, m_descriptor.get(), signal, nullptr, 0);
}

void CProcessHandle::kill() { send(SIGKILL); }

void CProcessHandle::requestHangReport() { send(crashhandler::hangReportSignal); }

uint32_t CProcessHandle::getID() { return static_cast<uint32_t>(m_pid); }

} // namespace lumo::posix

namespace lumo {

P<IProcessHandle> openProcessHandle(uint32_t processID, uint32_t parentID)
{
    const auto pid = static_cast<pid_t>(processID);
    if (pid <= 0)
        return nullptr;
    posix::CFileDescriptor descriptor(posix::openProcessDescriptor(pid));
    // Opened first, checked after: the descriptor holds the process the
    // check names, so no later reuse of the number can slip in.
    if (!descriptor.isValid())
        return nullptr;
    try {
        if (posix::parentOf(pid) != static_cast<pid_t>(parentID))
            return nullptr;
    } catch (const std::exception&) {
        return nullptr;
    }
    return make<posix::CProcessHandle>(pid, std::move(descriptor));
}

} // namespace lumo
