#include "platform/posix/CPipeClient.h"

#include "foundation/CAbortedError.h"
#include "foundation/CException.h"
#include "foundation/CFinishedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/IURI.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/IThreadManager.h"
#include "platform/posix/pollRetrying.h"
#include "platform/posix/takePassedDescriptors.h"
#include "streams/streamArguments.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace lumo::posix {

namespace {

// How long connect() waits for a busy server.
constexpr int busyServerWaitMs = 1000;

void setSendTimeout(const CFileDescriptor& socket, int timeoutMs)
{
    const timeval timeout{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
}

// Pictures of several megabytes cross a pipe: with the system's default
// buffer of a few hundred kilobytes both ends would take turns sleeping
// many times per picture. The system may grant less; that only costs speed.
void enlargeSendBuffer(const CFileDescriptor& socket)
{
    const int size = 2 << 20;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
}

// Room for the descriptors of the most regions one message carries.
constexpr size_t regionControlBytes = CMSG_SPACE(sizeof(int) * ISharedMemoryChannel::maxRegions);

[[noreturn]] void throwReadError(int errorCode)
{
    throw CException(String("Error read data from pipe: ") + getSystemErrorText(errorCode), String());
}

} // namespace

CPipeClient::CPipeClient(const String& name) : m_address(std::in_place, name) {}

CPipeClient::CPipeClient(CFileDescriptor socket) : m_socket(std::move(socket)) { enlargeSendBuffer(m_socket); }

bool CPipeClient::connect()
{
    if (m_socket.isValid() || m_bDisconnected)
        return isOpen();
    CFileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid())
        return false;
    // A full queue of waiting clients makes connect(2) wait for room, for
    // no longer than the send time-out.
    setSendTimeout(socket, busyServerWaitMs);
    const sockaddr_un address = m_address->getSocketAddress();
    int result;
    while ((result = ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address)) != 0 &&
           errno == EINTR) {
    }
    if (result != 0)
        return false;
    setSendTimeout(socket, 0);
    enlargeSendBuffer(socket);
    m_socket = std::move(socket);
    return true;
}

void CPipeClient::disconnect()
{
    if (!m_bDisconnected.exchange(true) && m_socket.isValid())
        ::shutdown(m_socket.get(), SHUT_RDWR);
}

bool CPipeClient::isOpen() const { return m_socket.isValid() && !m_bDisconnected; }

void CPipeClient::ensureOpen() const
{
    if (!isOpen())
        throw CException("Invalid pipe handle", String());
}

bool CPipeClient::isConnected()
{
    if (!isOpen())
        return false;
    if (getBuffered() > 0)
        return true;
    pollfd probe{m_socket.get(), POLLIN | POLLRDHUP, 0};
    if (pollRetrying(&probe, 1, 0) < 0 || (probe.revents & (POLLERR | POLLNVAL)))
        return false;
    return !(probe.revents & (POLLHUP | POLLRDHUP)) || countUnreceived() > 0;
}

int32_t CPipeClient::countUnreceived() const
{
    int waiting = 0;
    if (::ioctl(m_socket.get(), FIONREAD, &waiting) != 0)
        return 0;
    return waiting;
}

int32_t CPipeClient::getAvailable()
{
    if (!isOpen())
        return 0;
    const int64_t available = int64_t{getBuffered()} + countUnreceived();
    return static_cast<int32_t>(std::min<int64_t>(available, std::numeric_limits<int32_t>::max()));
}

void CPipeClient::writeFully(const void* data, int32_t count)
{
    checkTransfer(data, count, "writeFully", this);
    ensureOpen();
    if (!sendAll(data, count))
        throw CException("Error write data to pipe", String());
}

bool CPipeClient::writeByte(uint8_t value) { return isOpen() && sendAll(&value, 1); }

bool CPipeClient::sendAll(const void* data, int32_t count)
{
    const auto* next = static_cast<const uint8_t*>(data);
    for (int32_t left = count; left > 0;) {
        // Never blocking in send itself, so that a peer that stops reading
        // meets the deadline; a peer that has gone must not kill the process
        // with SIGPIPE.
        const ssize_t sent = sendSome(next, left);
        if (sent >= 0) {
            next += sent;
            left -= static_cast<int32_t>(sent);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            waitForRoom();
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

ssize_t CPipeClient::sendSome(const void* data, int32_t count)
{
    std::lock_guard<std::mutex> lock(m_regionLock);
    if (m_outgoingRegions.empty())
        return ::send(m_socket.get(), data, static_cast<size_t>(count), MSG_NOSIGNAL | MSG_DONTWAIT);
    alignas(cmsghdr) uint8_t control[regionControlBytes] = {};
    const size_t descriptorBytes = sizeof(int) * m_outgoingRegions.size();
    iovec bytes{const_cast<void*>(data), static_cast<size_t>(count)};
    msghdr message{};
    message.msg_iov = &bytes;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = CMSG_SPACE(descriptorBytes);
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(descriptorBytes);
    int* descriptors = reinterpret_cast<int*>(CMSG_DATA(header));
    for (size_t i = 0; i < m_outgoingRegions.size(); ++i)
        descriptors[i] = m_outgoingRegions[i]->getDescriptor();
    const ssize_t sent = ::sendmsg(m_socket.get(), &message, MSG_NOSIGNAL | MSG_DONTWAIT);
    // The peer holds its own copies once any byte left with them.
    if (sent > 0)
        m_outgoingRegions.clear();
    return sent;
}

void CPipeClient::waitForRoom()
{
    for (;;) {
        pollfd watched{m_socket.get(), POLLOUT, 0};
        const int ready = ::poll(&watched, 1, getWaitTimeout());
        // Room or a failure: the next send tells which. A time-out or an
        // interruption goes round again, where the deadline is checked.
        if (ready > 0 || (ready < 0 && errno != EINTR))
            return;
    }
}

int CPipeClient::getWaitTimeout() const
{
    const int64_t left = getTimeLeftMs();
    return left < 0 ? -1 : static_cast<int>(std::min<int64_t>(left, std::numeric_limits<int>::max()));
}

int32_t CPipeClient::receive(uint8_t* buffer, int32_t count, bool bWait)
{
    ensureOpen();
    return receiveBuffered(buffer, count, bWait, [this](uint8_t* target, int32_t size, bool bWaitForSome) {
        return receiveSome(target, size, bWaitForSome);
    });
}

int32_t CPipeClient::receiveSome(uint8_t* target, int32_t size, bool bWait)
{
    // After a receive that emptied the socket, waiting first saves the
    // receive that would find nothing: one system call per remote call on
    // each side. Bulk transfers, which find bytes waiting, receive at once;
    // past the deadline, bytes already there are still taken.
    if (bWait && m_bDrained && hasTimeLeft())
        waitForData();
    for (;;) {
        const ssize_t got = receiveOnce(target, size);
        const int errorCode = errno;
        if (got > 0) {
            m_bDrained = got < size;
            return static_cast<int32_t>(got);
        }
        if (got == 0 || errorCode == ECONNRESET)
            throw CFinishedError("Pipe was closed");
        if (errorCode == EAGAIN || errorCode == EWOULDBLOCK) {
            if (!bWait)
                return 0;
            waitForData();
        } else if (errorCode != EINTR) {
            throwReadError(errorCode);
        }
    }
}

ssize_t CPipeClient::receiveOnce(uint8_t* target, int32_t size)
{
    if (!m_bAcceptingRegions)
        return ::recv(m_socket.get(), target, static_cast<size_t>(size), MSG_DONTWAIT);
    alignas(cmsghdr) uint8_t control[regionControlBytes];
    iovec bytes{target, static_cast<size_t>(size)};
    msghdr message{};
    message.msg_iov = &bytes;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t got = ::recvmsg(m_socket.get(), &message, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    const int errorCode = errno;
    if (got > 0) {
        std::lock_guard<std::mutex> lock(m_regionLock);
        // One beyond the bound is closed with the rest of what was taken.
        for (CFileDescriptor& region : takePassedDescriptors(message))
            if (m_incomingRegions.size() < size_t(maxRegions))
                m_incomingRegions.push_back(std::move(region));
    }
    errno = errorCode;
    return got;
}

void CPipeClient::waitForData()
{
    for (;;) {
        // Whose thread this is matters only once an abort is pending; asking
        // costs a system call on every wait.
        if (m_abortTarget.load() != 0) {
            uint64_t target = getThreadManager()->getCurrentThreadID();
            if (m_abortTarget.compare_exchange_strong(target, 0))
                throw CAbortedError("Read was aborted");
        }
        pollfd watched[] = {{m_socket.get(), POLLIN, 0}, {m_wakeUp.getDescriptor(), POLLIN, 0}};
        // Each pass takes the time left anew, so that neither interruptions
        // nor a dripping peer stretch the deadline.
        const int ready = ::poll(watched, 2, getWaitTimeout());
        if (ready < 0 && errno != EINTR)
            throwReadError(errno);
        if (ready <= 0)
            continue;
        if (watched[0].revents)
            return;
        // A wake-up meant for another thread is dropped here; its target
        // finds the request when it next blocks.
        m_wakeUp.consume();
    }
}

void CPipeClient::abortRead(uint64_t threadID)
{
    m_abortTarget = threadID;
    m_wakeUp.set();
}

void CPipeClient::sendWithNextWrite(std::vector<P<ISharedMemory>> regions)
{
    if (regions.size() > size_t(maxRegions))
        throw CInvalidArgError("too many regions for one write", "sendWithNextWrite", this);
    std::vector<P<CSharedMemory>> files;
    for (const P<ISharedMemory>& region : regions) {
        P<CSharedMemory> file(dynamic_cast<CSharedMemory*>(region.get()));
        if (!file)
            throw CInvalidArgError("only shared memory made here can be sent", "sendWithNextWrite", this);
        files.push_back(std::move(file));
    }
    std::lock_guard<std::mutex> lock(m_regionLock);
    m_outgoingRegions = std::move(files);
}

void CPipeClient::acceptSharedMemory() { m_bAcceptingRegions = true; }

std::vector<P<ISharedMemory>> CPipeClient::takeSharedMemory()
{
    std::vector<CFileDescriptor> files;
    {
        std::lock_guard<std::mutex> lock(m_regionLock);
        files.swap(m_incomingRegions);
    }
    std::vector<P<ISharedMemory>> regions;
    for (CFileDescriptor& file : files)
        regions.push_back(make<CSharedMemory>(std::move(file)));
    return regions;
}

} // namespace lumo::posix
