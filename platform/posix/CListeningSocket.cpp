#include "platform/posix/CListeningSocket.h"

#include "foundation/CException.h"
#include "foundation/sync/throwSystemError.h"
#include "platform/posix/CPipeAddress.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

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

// Whether nobody listens at the address any more: the socket file refuses
// connections (or has vanished). A busy server is still there.
bool isRefused(const sockaddr_un& address)
{
    CFileDescriptor probe = makeSocket(SOCK_NONBLOCK);
    int result;
    while ((result = ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address)) != 0 &&
           errno == EINTR) {
    }
    return result != 0 && (errno == ECONNREFUSED || errno == ENOENT);
}

// Clears the name of a server that has gone; true when the name is free.
// A live server's socket stays, and whatever is not a socket is the user's
// own: removing it could destroy a file, so it is reported instead.
bool removeStaleSocket(const std::string& path, const sockaddr_un& address)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return errno == ENOENT;
    if (!S_ISSOCK(status.st_mode))
        throw CException(String("The pipe path '") + String::fromUTF8(path) +
                             String("' is taken by something that is not a socket"),
                         String());
    return isRefused(address) && (::unlink(path.c_str()) == 0 || errno == ENOENT);
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

// The connecting process runs as the calling user or as root and, when
// asked, is the one expected.
bool isWelcomePeer(int socket, const CListeningSocket::PeerFilter& isExpected)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    if (credentials.uid != ::geteuid() && credentials.uid != 0)
        return false;
    return !isExpected || isExpected(static_cast<uint32_t>(credentials.pid));
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
    if (!bBound && errno == EADDRINUSE && removeStaleSocket(m_path, socketAddress))
        bBound = bindTo(socket, socketAddress);
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

CFileDescriptor CListeningSocket::acceptPeer(const PeerFilter& isExpected)
{
    for (;;) {
        CFileDescriptor peer(::accept4(m_socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (peer.isValid() && isWelcomePeer(peer.get(), isExpected))
            return peer;
        if (peer.isValid() || errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return CFileDescriptor();
        throwSystemError("Error accepting a pipe client (%ERRORDESC%).", errno);
    }
}

} // namespace lumo::posix
