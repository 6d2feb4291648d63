#pragma once

#include "foundation/String.h"
#include "platform/CPipeClientBase.h"
#include "platform/windows/CPipeHandle.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace lumo::win32 {

class COverlappedPipeIO;

// One end of a pipe connection: a handle of a named pipe in byte mode, used
// with overlapped I/O so that every wait can also end on a disconnect, an
// abort or the deadline.
//
// One reader and one writer may use the client at a time; the queries
// (isConnected, getAvailable), abortRead and disconnect may come from any
// thread. connect() must be done before the client is shared.
//
// Shared memory does not travel on these connections yet: the client is no
// ISharedMemoryChannel, and a master that asks for one uses the pipe alone.
class CPipeClient : public CPipeClientBase {
public:
    // A client of the pipe `name`, not connected. Throws CInvalidArgError as
    // toPipePath does for the name, and CError when the system refuses an
    // event.
    explicit CPipeClient(const String& name);
    // The server's end of an accepted connection, whose handle it takes over.
    explicit CPipeClient(CPipeHandle pipe);

    // False at once when nobody listens on the name; while every instance
    // of the pipe is taken, waits up to a second for a free one.
    bool connect() override;
    // Ends the connection for good, also from another thread: a blocked
    // read ends at once with CFinishedError "Pipe was closed", a blocked
    // write with CException "Error write data to pipe"; the handle closes
    // once no call uses it any more, which the peer sees as the end.
    void disconnect() override;
    // True while the peer is there or its last bytes are still unread.
    bool isConnected() override;
    void writeFully(const void* data, int32_t count) override;
    bool writeByte(uint8_t value) override;
    int32_t getAvailable() override;
    void abortRead(uint64_t threadID) override;

private:
    class CUse;
    enum class EWait { done, disconnected };

    bool isOpen() const;
    // The bytes waiting; false when the client is not open or the pipe is
    // broken with nothing left unread.
    bool peek(DWORD& available);
    int32_t receive(uint8_t* buffer, int32_t count, bool bWait) override;
    // What one read brings into `target`, at most `size` bytes, waiting for
    // some when bWait; 0 when nothing waits and bWait is false. Throws as
    // readFully does, and CFinishedError "Pipe was closed" when nothing
    // waits on a broken pipe.
    int32_t readWaiting(HANDLE pipe, uint8_t* target, int32_t size, bool bWait);
    // Reads up to `count` bytes with one ReadFile, waiting for some; the
    // count read, at least 1. Throws as readFully does.
    int32_t readSome(HANDLE pipe, uint8_t* target, int32_t count);
    // Writes all bytes; false when the pipe fails.
    bool writeAll(HANDLE pipe, const void* data, int32_t count);
    // Waits until `io` ends, is cut off by disconnect(), by an abort of the
    // calling thread (reads only: throws CAbortedError unless `io` had
    // already moved bytes) or by the deadline (throws CTimeoutError).
    EWait await(COverlappedPipeIO& io, bool bRead);
    // How long the next wait may last: INFINITE without a deadline. Throws
    // CTimeoutError once the deadline has passed.
    DWORD getWaitTimeout() const;
    // Closes the handle of a disconnected client that no call uses; the
    // caller holds m_lock.
    void closeWhenUnused();

    std::wstring m_path;
    // Guards the handle's life: it stays open while a call uses it.
    mutable std::mutex m_lock;
    CPipeHandle m_pipe;
    int m_users = 0;
    std::atomic<bool> m_bDisconnected{false};
    // Set for good by disconnect(), to wake blocked calls.
    CPipeHandle m_disconnectEvent;
    // Wakes the reader for abortRead.
    CPipeHandle m_abortEvent;
    // One per direction, so that the reader and the writer never share one.
    CPipeHandle m_readEvent;
    CPipeHandle m_writeEvent;
    // The thread whose blocking read is to end; 0 for none.
    std::atomic<uint64_t> m_abortTarget{0};
};

} // namespace lumo::win32
