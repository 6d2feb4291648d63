#pragma once

#include "platform/posix/CFileDescriptor.h"

#include <cstdint>
#include <functional>
#include <string>

namespace lumo::posix {

class CPipeAddress;

// A local socket listening at a pipe address. Its socket file exists while
// it listens and is removed before the socket closes, so that no other
// server can take the name in between. Not for use by two threads at once.
class CListeningSocket {
public:
    // Whether the client running as process `processID` is welcome.
    using PeerFilter = std::function<bool(uint32_t processID)>;

    // Makes the pipe folder (throws as CPipeAddress::ensureFolder does) and
    // listens at the address. A socket file on which no server listens any
    // more is removed and the name taken; a live server's name is not:
    // isListening() is then false, as it is when the system refuses. Nothing
    // else at the name is ever removed: a file, folder or link there throws
    // CException "The pipe path '<path>' is taken by something that is not
    // a socket".
    explicit CListeningSocket(const CPipeAddress& address);
    CListeningSocket(const CListeningSocket&) = delete;
    CListeningSocket& operator=(const CListeningSocket&) = delete;
    ~CListeningSocket();

    bool isListening() const { return m_socket.isValid(); }
    // For poll(2) only: readable when a client waits.
    int getDescriptor() const { return m_socket.get(); }
    // The next waiting client that runs as the calling user or as root and
    // that `isExpected` (when given) welcomes, without blocking; other
    // clients are dropped, which closes their connection. An invalid
    // descriptor when none waits. Throws CError when the system fails (out
    // of descriptors, say), and what `isExpected` throws.
    CFileDescriptor acceptPeer(const PeerFilter& isExpected = nullptr);

private:
    CFileDescriptor m_socket;
    std::string m_path;
};

} // namespace lumo::posix
