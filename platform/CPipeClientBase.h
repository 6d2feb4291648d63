#pragma once

#include "foundation/CObject.h"
#include "platform/CPipeOutStreamBase.h"
#include "platform/IPipeClient.h"

namespace lumo {

// What the pipe clients of every platform share: their two streams, which
// forward to the client and offer whatever else the client offers (its
// shared-memory channel, where the backend has one).
class CPipeClientBase : public CObject, public virtual IPipeClient {
public:
    class CInStream;
    class COutStream;

    // Each call makes a new stream; a stream keeps its client alive.
    P<IPipeInStream> getInStream() override;
    P<IPipeOutStream> getOutStream() override;

    // Up to `count` of the bytes waiting, without blocking; 0 when none wait.
    // A peer that closed and left nothing unread throws CFinishedError
    // "Pipe was closed".
    virtual int32_t read(void* buffer, int32_t count) = 0;
    // Drops `count` bytes as readFully would read them.
    virtual void skipFully(int32_t count) = 0;
    // Drops up to `count` of the bytes waiting, as read would read them.
    virtual int32_t skip(int32_t count) = 0;
    // See IPipeInStream::abortRead.
    virtual void abortRead(uint64_t threadID) = 0;
};

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
