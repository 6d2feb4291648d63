#pragma once

#include "platform/CPipeClientBase.h"
#include "platform/ISharedMemoryChannel.h"
#include "platform/posix/CFileDescriptor.h"
#include "platform/posix/CPipeAddress.h"
#include "platform/posix/CSharedMemory.h"
#include "platform/posix/CWakeUpEvent.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <vector>

namespace lumo::posix {

// One end of a pipe connection: a local stream socket.
//
// One reader and one writer may use the client at a time; the queries
// (isConnected, getAvailable) and abortRead may come from any thread.
// connect() must be done before the client is shared.
//
// Shared memory rides on the bytes as the socket's ancillary data; both
// streams of the client are its channel.
class CPipeClient : public CPipeClientBase, public virtual ISharedMemoryChannel {
public:
    // A client of the pipe `name`, not connected. Throws as CPipeAddress
    // does for the name, and CError when the system refuses an event.
    explicit CPipeClient(const String& name);
    // The server's end of an accepted connection, which it takes over.
    explicit CPipeClient(CFileDescriptor socket);

    // False at once when nobody listens on the name; while the server's
    // queue of waiting clients is full, waits up to a second for room.
    bool connect() override;
    // Ends the connection for good, also from another thread: a blocked
    // read of either end ends at once with CFinishedError "Pipe was closed",
    // a blocked write of this end with CException "Error write data to
    // pipe"; later calls find the client invalid.
    void disconnect() override;
    // True while the peer is there or its last bytes are still unread.
    bool isConnected() override;
    void writeFully(const void* data, int32_t count) override;
    bool writeByte(uint8_t value) override;
    int32_t getAvailable() override;
    void abortRead(uint64_t threadID) override;

    void sendWithNextWrite(std::vector<P<ISharedMemory>> regions) override;

    // The socket, for a channel that speaks on it with messages of its own
    // (CForkServer, CLauncherChannel) while this client's streams stay
    // unused; the client keeps it.
    int getDescriptor() const noexcept { return m_socket.get(); }
    void acceptSharedMemory() override;
    std::vector<P<ISharedMemory>> takeSharedMemory() override;

private:
    bool isOpen() const;
    // Throws CException "Invalid pipe handle" unless connected and not
    // disconnected.
    void ensureOpen() const;
    int32_t receive(uint8_t* buffer, int32_t count, bool bWait) override;
    // What one receive brings into `target`, at most `size` bytes, waiting
    // for some when bWait; 0 when nothing waits and bWait is false. Throws
    // CFinishedError "Pipe was closed" once the peer closed.
    int32_t receiveSome(uint8_t* target, int32_t size, bool bWait);
    // Blocks until the socket has news or this thread's read is aborted.
    void waitForData();
    // Blocks until the socket takes more bytes or fails.
    void waitForRoom();
    // How long the next wait may last: -1 without a deadline. Throws
    // CTimeoutError once the deadline has passed.
    int getWaitTimeout() const;
    int32_t countUnreceived() const;
    // False when the socket fails; throws CTimeoutError as the waits do.
    bool sendAll(const void* data, int32_t count);
    // One send of up to `count` bytes, with the regions waiting to leave.
    ssize_t sendSome(const void* data, int32_t count);
    // One receive; keeps the regions that came along once they are accepted.
    ssize_t receiveOnce(uint8_t* target, int32_t size);

    std::optional<CPipeAddress> m_address;
    CFileDescriptor m_socket;
    // A disconnected socket is shut down but stays open until the client
    // goes, so that a thread still blocked on it never meets a reused number.
    std::atomic<bool> m_bDisconnected{false};
    CWakeUpEvent m_wakeUp;
    // The thread whose blocking read is to end; 0 for none.
    std::atomic<uint64_t> m_abortTarget{0};
    // Reader only: the last receive left nothing behind, so the next one
    // most likely has to wait (a reply to a request just sent).
    bool m_bDrained = false;

    // Guards the regions on their way in and out.
    std::mutex m_regionLock;
    std::vector<P<CSharedMemory>> m_outgoingRegions;
    std::vector<CFileDescriptor> m_incomingRegions;
    std::atomic<bool> m_bAcceptingRegions{false};
};

} // namespace lumo::posix
