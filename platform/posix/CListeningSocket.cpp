#include "platform/posix/CListeningSocket.h"

#include "platform/posix/CPipeAddress.h"
#include "platform/throwSystemError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace lumo::posix {

namespace {

CFileDescriptor makeSocket(int extraFlags)
{
    return CFileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | extraFlags, 0));
}

bool bindTo(const CFileDescriptor& socket, const sockaddr_un& address)
{
    return ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// Whether a server still listens at the address: a refused (or vanished)
// socket file is stale; anything else is not ours to remove.
bool isAnswered(const sockaddr_un& address)
{
    CFileDescriptor probe = makeSocket(SOCK_NONBLOCK);
    int result;
    while ((result = ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address)) != 0 &&
           errno == EINTR) {
    }
    return result == 0 || (errno != ECONNREFUSED && errno != ENOENT);
}

// Holds the folder locked, so that two servers that find the same stale
// socket file cannot each remove the other's fresh one.
CFileDescriptor lockFolder(const std::string& folder)
{
    CFileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    while (handle.isValid() && ::flock(handle.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            return CFileDescriptor();
    return handle;
}

bool isTrustedPeer(int socket)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == ::geteuid() || credentials.uid == 0;
}

} // namespace

CListeningSocket::CListeningSocket(const CPipeAddress& address) : m_path(address.getSocketPath())
{
    address.ensureFolder();
    const CFileDescriptor folderLock = lockFolder(address.getFolder());
    CFileDescriptor socket = makeSocket(SOCK_NONBLOCK);
    if (!folderLock.isValid() || !socket.isValid())
        return;
    const sockaddr_un socketAddress = address.getSocketAddress();
    bool bBound = bindTo(socket, socketAddress);
    if (!bBound && errno == EADDRINUSE && !isAnswered(socketAddress)) {
        ::unlink(m_path.c_str());
        bBound = bindTo(socket, socketAddress);
    }
    if (!bBound)
        return;
    if (::listen(socket.get(), SOMAXCONN) != 0) {
        ::unlink(m_path.c_str());
        return;
    }
    m_socket = std::move(socket);
}

CListeningSocket::~CListeningSocket()
{
    if (m_socket.isValid())
        ::unlink(m_path.c_str());
}

CFileDescriptor CListeningSocket::acceptPeer()
{
    for (;;) {
        CFileDescriptor peer(::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (peer.isValid() && isTrustedPeer(peer.get()))
            return peer;
        if (peer.isValid() || errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return CFileDescriptor();
        throwSystemError("Error accepting a pipe client (%ERRORDESC%).", errno);
    }
}

} // namespace lumo::posix
