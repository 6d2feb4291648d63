#pragma once

#include "foundation/CObject.h"
#include "platform/CPipeOutStreamBase.h"
#include "platform/IPipeClient.h"

#include <atomic>
#include <memory>

namespace lumo {

// What the pipe clients of every platform share: their two streams, which
// forward to the client and offer whatever else the client offers (its
// shared-memory channel, where the backend has one); the deadline; and the
// reads, served from a read-ahead buffer that one system read fills with
// whatever is waiting, so that reading a message field by field costs no
// system call per field. A read at least as large as that buffer, once it
// is drained, goes straight into the caller's memory, so that large blocks
// are copied once.
class CPipeClientBase : public CObject, public virtual IPipeClient {
public:
    class CInStream;
    class COutStream;

    // Each call makes a new stream; a stream keeps its client alive.
    P<IPipeInStream> getInStream() override;
    P<IPipeOutStream> getOutStream() override;

    void readFully(void* buffer, int32_t count) override;
    void setDeadline(int64_t tick) override;
    // Up to `count` of the bytes waiting, without blocking; 0 when none wait.
    // A peer that closed and left nothing unread throws CFinishedError
    // "Pipe was closed".
    int32_t read(void* buffer, int32_t count);
    // Drops `count` bytes as readFully would read them.
    void skipFully(int32_t count);
    // Drops up to `count` of the bytes waiting, as read would read them.
    int32_t skip(int32_t count);
    // See IPipeInStream::abortRead.
    virtual void abortRead(uint64_t threadID) = 0;

protected:
    CPipeClientBase();

    // Moves `count` bytes (or, without waiting, those that one system read
    // brings) into `buffer`, or drops them when `buffer` is null. The
    // backend checks that the client is open (throwing CException "Invalid
    // pipe handle" when not), and hands its one system read to
    // receiveBuffered.
    virtual int32_t receive(uint8_t* buffer, int32_t count, bool bWait) = 0;
    // receive() over the read-ahead buffer. `receiveSome(target, size, bWait)`
    // is one system read into `target`: at least one byte and at most `size`,
    // waiting for some when bWait; 0 when nothing waits and bWait is false.
    template <class ReceiveSome>
    int32_t receiveBuffered(uint8_t* buffer, int32_t count, bool bWait, ReceiveSome receiveSome);
    // The bytes read ahead and not yet taken.
    int32_t getBuffered() const { return m_buffered; }
    // How long the next wait may last in milliseconds: -1 without a
    // deadline. Throws CTimeoutError "Pipe wait timed out" once it passed.
    int64_t getTimeLeftMs() const;
    // False once the deadline has passed; true without one.
    bool hasTimeLeft() const;

private:
    int32_t takeBuffered(uint8_t* buffer, int32_t count);

    // A getTickCount() value; 0 for none.
    std::atomic<int64_t> m_deadline{0};
    static constexpr int32_t readAheadSize = 64 * 1024;
    // Left uninitialised: a client made for every medium would otherwise
    // write all of it, a page fault each page, before it reads a byte.
    const std::unique_ptr<uint8_t[]> m_readAhead;
    // Reader only.
    int32_t m_readOffset = 0;
    // Written by the reader; counted by the queries too.
    std::atomic<int32_t> m_buffered{0};
};

template <class ReceiveSome>
int32_t CPipeClientBase::receiveBuffered(uint8_t* buffer, int32_t count, bool bWait, ReceiveSome receiveSome)
{
    int32_t done = 0;
    // Without waiting, only what one read brings is taken, so that a peer
    // that sent its last bytes and closed is reported by the next read
    // rather than losing those bytes in this one.
    while (done < count && (bWait || done == 0)) {
        if (m_buffered == 0 && buffer && count - done >= readAheadSize) {
            // Large reads (picture blocks) go straight to their target:
            // passing them through the read-ahead would copy every byte twice.
            const int32_t got = receiveSome(buffer + done, count - done, bWait);
            if (got == 0)
                break;
            done += got;
            continue;
        }
        if (m_buffered == 0) {
            const int32_t got = receiveSome(m_readAhead.get(), readAheadSize, bWait);
            if (got == 0)
                break;
            m_readOffset = 0;
            m_buffered = got;
        }
        done += takeBuffered(buffer ? buffer + done : nullptr, count - done);
    }
    return done;
}

// The reading end of a client as a stream.
class CPipeClientBase::CInStream : public CObject, public virtual IPipeInStream {
public:
    explicit CInStream(P<CPipeClientBase> client);

    // An interface the stream lacks is looked for in the client.
    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override;
    // Goes on until `abort` asks to stop or a read fails: a pipe has no end.
    void copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void readFully(void* buffer, int32_t count) override;
    int32_t read(void* buffer, int32_t count) override;
    void skipFully(int32_t count) override;
    int32_t skip(int32_t count) override;
    bool isEOF() override;
    int64_t getPosition() override;
    int64_t getSize() override;
    bool isClosed() override;
    // Disconnects the client.
    void close() override;
    P<IURI> getURI() override;
    void abortRead(uint64_t threadID) override;
    int32_t getAvailable() override;

private:
    P<CPipeClientBase> m_client;
};

// The writing end of a client as a stream.
class CPipeClientBase::COutStream : public CPipeOutStreamBase {
public:
    explicit COutStream(P<CPipeClientBase> client);

    // An interface the stream lacks is looked for in the client.
    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override;
    void write(const void* data, int32_t count) override;
    bool isClosed() override;

private:
    P<CPipeClientBase> m_client;
};

} // namespace lumo
