#pragma once

#include "platform/posix/CFileDescriptor.h"

#include <string>

namespace lumo::posix {

class CPipeAddress;

// A local socket listening at a pipe address. Its socket file exists while
// it listens and is removed before the socket closes, so that no other
// server can take the name in between. Not for use by two threads at once.
class CListeningSocket {
public:
    // Makes the pipe folder (throws as CPipeAddress::ensureFolder does) and
    // listens at the address. A socket file on which no server listens any
    // more is removed and the name taken; a live server's name is not:
    // isListening() is then false, as it is when the system refuses.
    explicit CListeningSocket(const CPipeAddress& address);
    CListeningSocket(const CListeningSocket&) = delete;
    CListeningSocket& operator=(const CListeningSocket&) = delete;
    ~CListeningSocket();

    bool isListening() const { return m_socket.isValid(); }
    // For poll(2) only: readable when a client waits.
    int getDescriptor() const { return m_socket.get(); }
    // The next waiting client that runs as the calling user or as root,
    // without blocking; clients of other users are dropped. An invalid
    // descriptor when none waits. Throws CError when the system fails (out
    // of descriptors, say).
    CFileDescriptor acceptPeer();

private:
    CFileDescriptor m_socket;
    std::string m_path;
};

} // namespace lumo::posix
