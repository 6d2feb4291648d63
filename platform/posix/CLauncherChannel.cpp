#include "platform/posix/CLauncherChannel.h"

#include "foundation/CError.h"
#include "foundation/castObject.h"
#include "foundation/sync/getTickCount.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/posix/CPipeClient.h"
#include "platform/posix/pollRetrying.h"
#include "platform/posix/sendWithDescriptor.h"
#include "platform/posix/takePassedDescriptors.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

constexpr int maxSignal = 64;

String describeEnd(const SWireReport& wire)
{
    if (wire.signal == 0)
        return String::fromUTF8("exited with code " + std::to_string(wire.exitCode));
    const char* name = sigabbrev_np(wire.signal);
    return String::fromUTF8("killed by signal " + std::to_string(wire.signal) +
                            (name ? std::string(" (SIG") + name + ")" : std::string()));
}

bool findSender(msghdr& message, ucred& sender)
{
    for (cmsghdr* part = CMSG_FIRSTHDR(&message); part; part = CMSG_NXTHDR(&message, part)) {
        if (part->cmsg_level == SOL_SOCKET && part->cmsg_type == SCM_CREDENTIALS &&
            part->cmsg_len >= CMSG_LEN(sizeof sender)) {
            std::memcpy(&sender, CMSG_DATA(part), sizeof sender);
            return true;
        }
    }
    return false;
}

} // namespace

CLauncherChannel::CLauncherChannel(P<IPipeClient> connection, uint32_t launcherID)
    : m_connection(std::move(connection)), m_socket(-1), m_launcher(static_cast<pid_t>(launcherID))
{
    const P<CPipeClient> client = castObject<CPipeClient>(m_connection.get(), false);
    const int enable = 1;
    if (!client || client->getDescriptor() < 0 ||
        ::setsockopt(client->getDescriptor(), SOL_SOCKET, SO_PASSCRED, &enable, sizeof enable) != 0)
        throw CError("the launcher's control connection cannot tell who sends", "CLauncherChannel");
    m_socket = client->getDescriptor();
}

void CLauncherChannel::fail(const char* what)
{
    m_bBroken = true;
    throw CError(String("the launcher broke its control connection: ") + String::fromUTF8(what), "CLauncherChannel");
}

P<IPipeClient> CLauncherChannel::sendRequest(const IForkServer::SRequest& request)
{
    if (m_bBroken)
        fail("it failed before");
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw CError(String("no connection for a launcher's child: ") + getSystemErrorText(errno), "CLauncherChannel");
    CFileDescriptor masterEnd(ends[0]);
    const CFileDescriptor childEnd(ends[1]);
    const auto* bytes = reinterpret_cast<const char*>(&request);
    size_t done = 0;
    const int64_t deadline = getTickCount() + sendWaitMs;
    while (done < sizeof request) {
        // The child's end rides on the request's first bytes.
        const ssize_t sent = done == 0
                                 ? sendWithDescriptor(m_socket, bytes, sizeof request, childEnd.get(), MSG_DONTWAIT)
                                 : ::send(m_socket, bytes + done, sizeof request - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            done += static_cast<size_t>(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            fail("the request cannot be sent");
        const int64_t left = deadline - getTickCount();
        if (left <= 0)
            fail("the launcher takes no requests");
        pollfd watched{m_socket, POLLOUT, 0};
        pollRetrying(&watched, 1, static_cast<int>(left));
    }
    return make<CPipeClient>(std::move(masterEnd));
}

std::optional<ILauncherChannel::SReport> CLauncherChannel::receiveReport(int64_t deadlineTick)
{
    if (m_bBroken)
        fail("it failed before");
    for (;;) {
        SWireReport wire;
        iovec part{&wire, sizeof wire};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(ucred)) + CMSG_SPACE(8 * sizeof(int))];
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t got = ::recvmsg(m_socket, &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
        if (got >= 0 || (errno != EAGAIN && errno != EINTR)) {
            if (got > 0)
                takePassedDescriptors(message); // closed unread
            if (got == 0)
                fail("it closed the connection");
            if (got < 0)
                fail("the connection failed");
            ucred sender{};
            if (got != static_cast<ssize_t>(sizeof wire) || !findSender(message, sender))
                fail("a report of the wrong size or without its sender");
            return check(wire, sender);
        }
        const int64_t left = deadlineTick - getTickCount();
        if (left <= 0)
            return std::nullopt;
        pollfd watched{m_socket, POLLIN, 0};
        pollRetrying(&watched, 1, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
    }
}

ILauncherChannel::SReport CLauncherChannel::check(const SWireReport& wire, const ucred& sender)
{
    if (wire.magic != SWireReport::magicValue)
        fail("a report without its mark");
    if (sender.uid != ::geteuid() || sender.pid <= 0)
        fail("a report from a stranger");
    SReport report;
    report.number = wire.number;
    switch (wire.kind) {
    case SWireReport::started:
        if (sender.pid == m_launcher)
            fail("a child's start that the launcher sent itself");
        report.kind = SReport::EKind::started;
        report.processID = static_cast<uint32_t>(sender.pid);
        return report;
    case SWireReport::ended:
        if (sender.pid != m_launcher)
            fail("a child's end that the launcher did not send");
        if (wire.exitCode < 0 || wire.exitCode > 255 || wire.signal < 0 || wire.signal > maxSignal ||
            wire.peakResidentBytes < 0 || wire.peakResidentBytes > maxPeakResidentBytes || wire.cpuTimeMs < 0 ||
            wire.cpuTimeMs > maxCpuTimeMs)
            fail("a child's end out of bounds");
        report.kind = SReport::EKind::ended;
        report.end.exitCode = wire.signal ? 128 + wire.signal : wire.exitCode;
        report.end.cause = describeEnd(wire);
        report.end.peakResidentBytes = wire.peakResidentBytes;
        report.end.cpuTimeMs = wire.cpuTimeMs;
        return report;
    case SWireReport::failed:
        if (sender.pid != m_launcher)
            fail("a failed start that the launcher did not send");
        report.kind = SReport::EKind::failed;
        return report;
    default:
        fail("a report of an unknown kind");
    }
}

} // namespace lumo::posix

namespace lumo {

P<ILauncherChannel> createLauncherChannel(const P<IPipeClient>& connection, uint32_t launcherID)
{
    return make<posix::CLauncherChannel>(connection, launcherID);
}

} // namespace lumo
