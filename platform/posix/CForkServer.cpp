#include "platform/posix/CForkServer.h"

#include "foundation/CError.h"
#include "foundation/castObject.h"
#include "platform/posix/CPipeClient.h"
#include "platform/posix/niceScale.h"
#include "platform/posix/openProcessDescriptor.h"
#include "platform/posix/pollRetrying.h"
#include "platform/posix/sendWithDescriptor.h"
#include "platform/posix/takePassedDescriptors.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>

namespace lumo::posix {

namespace {

int64_t toMilliseconds(const timeval& time) { return int64_t{time.tv_sec} * 1000 + time.tv_usec / 1000; }

// A request carries one descriptor; room for a few more lets the extra ones
// be closed instead of cut off by the kernel.
constexpr size_t maxPassedDescriptors = 4;

int descriptorOf(const P<IPipeClient>& control)
{
    const P<CPipeClient> client = castObject<CPipeClient>(control.get(), false);
    if (!client || client->getDescriptor() < 0)
        throw CError("the fork server needs a connected pipe client of this platform", "CForkServer");
    return client->getDescriptor();
}

} // namespace

CForkServer::CForkServer(P<IPipeClient> control)
    : m_control(std::move(control)), m_controlSocket(descriptorOf(m_control)), m_launcher(::getpid())
{
}

std::optional<IForkServer::SChildStart> CForkServer::serve()
{
    for (;;) {
        if (m_bClosed)
            m_spareSocket.reset();
        else if (std::optional<SChildStart> start = readySpare())
            return start;
        if (m_bClosed && m_children.empty())
            return std::nullopt;
        std::vector<pollfd> watched;
        bool bBlind = false;
        for (const SChild& child : m_children) {
            watched.push_back({child.ending.get(), POLLIN, 0});
            bBlind = bBlind || !child.ending.isValid();
        }
        if (!m_bClosed)
            watched.push_back({m_controlSocket, POLLIN, 0});
        pollRetrying(watched.data(), watched.size(), bBlind ? pollWithoutDescriptorMs : -1);
        collectEnded();
        if (m_bClosed || watched.back().revents == 0)
            continue;
        SRequest request;
        CFileDescriptor pipe;
        if (!readRequest(m_controlSocket, request, pipe))
            m_bClosed = true;
        else if (!pipe.isValid())
            reportFailure(request.number, EBADF);
        else if (!handToSpare(request, std::move(pipe)))
            reportFailure(request.number, errno);
        // The launcher keeps no child's end: its end comes with the child's.
    }
}

bool CForkServer::readRequest(int socket, SRequest& request, CFileDescriptor& pipe)
{
    auto* bytes = reinterpret_cast<char*>(&request);
    size_t done = 0;
    while (done < sizeof request) {
        iovec part{bytes + done, sizeof request - done};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * maxPassedDescriptors)];
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t got = ::recvmsg(socket, &message, MSG_WAITALL | MSG_CMSG_CLOEXEC);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        // The first descriptor is the child's pipe; any other is closed.
        for (CFileDescriptor& passed : takePassedDescriptors(message))
            if (!pipe.isValid())
                pipe = std::move(passed);
        done += static_cast<size_t>(got);
    }
    // The arguments end within their room, whatever the master sent.
    request.arguments[argumentsRoom - 1] = 0;
    return true;
}

std::optional<IForkServer::SChildStart> CForkServer::readySpare()
{
    if (m_spareSocket.isValid())
        return std::nullopt;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) < 0) {
        m_spareError = errno;
        return std::nullopt;
    }
    CFileDescriptor launcherEnd(ends[0]);
    CFileDescriptor spareEnd(ends[1]);
    // Named before the fork, so that the spare never shows under the
    // launcher's name.
    char launcherName[16] = {};
    ::prctl(PR_GET_NAME, launcherName, 0, 0, 0);
    ::prctl(PR_SET_NAME, spareName, 0, 0, 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        launcherEnd.reset();
        SRequest request;
        CFileDescriptor pipe;
        if (!leaveLauncher() || !readRequest(spareEnd.get(), request, pipe) || !pipe.isValid())
            ::_exit(0);
        ::prctl(PR_SET_NAME, launcherName, 0, 0, 0);
        if (!becomeChild(request))
            ::_exit(127);
        return SChildStart{request, make<CPipeClient>(std::move(pipe))};
    }
    const int forkError = errno;
    ::prctl(PR_SET_NAME, launcherName, 0, 0, 0);
    if (pid < 0) {
        m_spareError = forkError;
        return std::nullopt;
    }
    m_children.push_back({pid, std::nullopt, CFileDescriptor(openProcessDescriptor(pid))});
    m_spareSocket = std::move(launcherEnd);
    return std::nullopt;
}

bool CForkServer::handToSpare(const SRequest& request, CFileDescriptor pipe)
{
    if (!m_spareSocket.isValid()) {
        errno = m_spareError;
        return false;
    }
    // Whatever happens, this spare serves no other request.
    const CFileDescriptor spare = std::move(m_spareSocket);
    ssize_t sent;
    while ((sent = sendWithDescriptor(spare.get(), &request, sizeof request, pipe.get(), 0)) < 0 && errno == EINTR) {
    }
    if (sent != static_cast<ssize_t>(sizeof request))
        return false;
    for (SChild& child : m_children)
        if (!child.number)
            child.number = request.number;
    return true;
}

bool CForkServer::leaveLauncher()
{
    // Only the launcher watches its children.
    m_children.clear();
    ::prctl(PR_SET_PDEATHSIG, SIGKILL, 0, 0, 0);
    return ::getppid() == m_launcher;
}

bool CForkServer::becomeChild(const SRequest& request)
{
    const int nice = niceScale.nativeOf(request.priority);
    if (nice > ::getpriority(PRIO_PROCESS, 0))
        ::setpriority(PRIO_PROCESS, 0, nice);
    SWireReport report;
    report.kind = SWireReport::started;
    report.number = request.number;
    sendReport(report);
    // The child's copy of the connection goes before any of its own work:
    // what it sends from now on could only be a lie. The number stays
    // taken (by the null device), since the pipe client still owns it.
    const int nothing = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (nothing < 0 || ::dup3(nothing, m_controlSocket, O_CLOEXEC) < 0)
        return false;
    ::close(nothing);
    return true;
}

void CForkServer::reportFailure(uint32_t number, int errorCode)
{
    SWireReport report;
    report.kind = SWireReport::failed;
    report.number = number;
    report.signal = errorCode;
    sendReport(report);
}

void CForkServer::collectEnded()
{
    for (auto child = m_children.begin(); child != m_children.end();) {
        int status = 0;
        rusage usage{};
        pid_t result;
        while ((result = ::wait4(child->pid, &status, WNOHANG, &usage)) < 0 && errno == EINTR) {
        }
        if (result == 0) {
            ++child;
            continue;
        }
        if (!child->number) {
            // The spare ended unasked; the next request gets a new one.
            m_spareSocket.reset();
            child = m_children.erase(child);
            continue;
        }
        SWireReport report;
        report.kind = SWireReport::ended;
        report.number = *child->number;
        if (result == child->pid) {
            report.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
            report.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            report.peakResidentBytes = int64_t{usage.ru_maxrss} * 1024;
            report.cpuTimeMs = toMilliseconds(usage.ru_utime) + toMilliseconds(usage.ru_stime);
        } else {
            report.signal = SIGKILL;
        }
        if (!m_bClosed)
            sendReport(report);
        child = m_children.erase(child);
    }
}

void CForkServer::sendReport(const SWireReport& report)
{
    ssize_t sent;
    while ((sent = ::send(m_controlSocket, &report, sizeof report, MSG_NOSIGNAL)) < 0 && errno == EINTR) {
    }
    // A master that no longer listens gets no more reports; its children
    // are still waited for.
    if (sent != static_cast<ssize_t>(sizeof report))
        m_bClosed = true;
}

} // namespace lumo::posix

namespace lumo {

bool isForkServerAvailable() { return true; }

P<IForkServer> createForkServer(const P<IPipeClient>& control) { return make<posix::CForkServer>(control); }

} // namespace lumo
