#pragma once

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"
#include "streams/IOutStream.h"

namespace lumo {

// Gathers the writes of one message in a memory block and hands them to the
// wrapped stream in a single write, so that a message made of many small
// values costs one system call on a pipe, and a peer that reads whole
// messages never sees a half one. Outside a message every write goes
// straight through.
//
// The block never grows: a message that outgrows its capacity sends what
// was gathered so far and goes on gathering, and a single write at least as
// large as the capacity then goes straight through, so large payloads are
// not copied. Such a message leaves in several writes.
//
// Not locked: the owner holds one lock around a whole message and around
// every other operation.
class CBufferedOutStream : public CObject, public virtual IOutStream {
public:
    // Keeps references to both; throws CInvalidArgError when either is null.
    CBufferedOutStream(P<IOutStream> stream, P<IMemoryBlock> buffer);

    // Starts a message with an empty block. Messages do not nest: starting
    // one drops what an unfinished one gathered.
    void beginMessage();
    // Ends the message and hands what it gathered to the wrapped stream in
    // one write. The gathered bytes are gone even when that write throws, as
    // a write that failed half-way cannot be resumed.
    void flush();
    // Ends the message and drops what it gathered; nothing goes out.
    void discard() noexcept;
    bool isInMessage() const;

    // Replaces the block; not during a message (CInvalidObjectStateError).
    // Throws CInvalidArgError for a null block.
    void setBuffer(P<IMemoryBlock> buffer);
    P<IMemoryBlock> getBuffer() const;

    // Like a pipe, the stream tells no position and no size: both are -1.
    int64_t getPosition() override;
    int64_t getSize() override;
    bool isClosed() override;
    // Drops a message in progress, then closes the wrapped stream.
    void close() override;
    P<IURI> getURI() override;

    void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    // Errors of the wrapped stream surface here outside a message and at the
    // flush (or when the block overflows) inside one.
    void write(const void* data, int32_t count) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;

private:
    void sendGathered();
    void append(const void* data, int32_t count);

    P<IOutStream> m_stream;
    P<IMemoryBlock> m_buffer;
    bool m_bInMessage = false;
};

} // namespace lumo
