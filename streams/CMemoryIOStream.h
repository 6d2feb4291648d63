#pragma once

#include "foundation/CObject.h"
#include "foundation/IURI.h"
#include "foundation/sync/IMutex.h"
#include "streams/IMemoryManager.h"
#include "streams/ISeekableStream.h"
#include "streams/TStreamMarker.h"

namespace lumo {

// A memory file: one position shared by reading and writing (write, seek to
// 0, read back), and a size that is the furthest byte ever written. The bytes
// live in one block of a memory manager, which grows by doubling so that many
// small writes cost amortised constant time; the block goes back to its
// manager with the stream's last reference.
//
// Every operation holds the stream's lock for its whole duration, so the
// stream may be shared between threads and nobody sees a half-copied range.
// After close() every operation other than the queries (getPosition,
// getSize, isClosed, isEOF, getURI) throws CStreamClosedError. The stream
// holds at most 2^31 - 1 bytes.
class CMemoryIOStream : public CObject,
                        public virtual ISeekableIOStream,
                        public virtual ISeekableInStream,
                        public virtual ISeekableOutStream,
                        public virtual ISeekableStream {
public:
    // A position of one memory stream; holds that stream.
    using CMarker = TStreamMarker<CMemoryIOStream>;

    static constexpr int32_t defaultInitialCapacity = 256;

    // An empty stream whose block comes from `manager` (null: the process-wide
    // one) with room for `initialCapacity` bytes. `uri` (may be null) is only
    // reported: by getURI() and in errors.
    explicit CMemoryIOStream(P<IMemoryManager> manager = nullptr, P<IURI> uri = nullptr,
                             int32_t initialCapacity = defaultInitialCapacity);

    int64_t getPosition() override;
    int64_t getSize() override;
    bool isClosed() override;
    void close() override;
    P<IURI> getURI() override;

    void copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void readFully(void* buffer, int32_t count) override;
    int32_t read(void* buffer, int32_t count) override;
    void skipFully(int32_t count) override;
    int32_t skip(int32_t count) override;
    // True at the size, and once closed.
    bool isEOF() override;

    void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void write(const void* data, int32_t count) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;

    P<IStreamMarker> createMarker() override;
    // Throws CCastError for a marker that another stream made.
    void resetToMarker(IStreamMarker& marker) override;

    // Targets outside 0..getSize() throw CInvalidArgError.
    void seek(int64_t position) override;
    void seekFromEnd(int64_t delta) override;
    void seekRelative(int64_t delta) override;

    // Empties the stream: size 0, position 0. Keeps the block's capacity.
    void clear();

private:
    // Reads into `target`, or skips when it is null; returns the count moved.
    // The caller has checked the arguments and that the stream is open.
    int32_t advance(void* target, int32_t count);
    int32_t readChecked(void* buffer, int32_t count, const char* method);
    int32_t skipChecked(int32_t count, const char* method);
    void moveTo(int64_t base, int64_t delta, const char* method);

    P<IMutex> m_mutex;
    P<IMemoryBlock> m_block;
    P<IURI> m_uri;
    int64_t m_position = 0;
    bool m_bClosed = false;
};

} // namespace lumo
