#pragma once

#include "foundation/CObject.h"
#include "foundation/IURI.h"
#include "foundation/sync/IMutex.h"
#include "platform/CDiskFile.h"
#include "streams/ISeekableStream.h"
#include "streams/TStreamMarker.h"

namespace lumo {

// What the disk streams share: the open file, its URI, the position and the
// lock that every operation holds for its whole duration. A file that cannot
// seek (a pipe, a terminal) refuses the resetable and seekable interfaces and
// reports -1 as its position and size. After close() every operation other
// than the queries throws CStreamClosedError; the queries still answer, the
// size with what it was at the close.
//
// Opening throws CInvalidArgError for a null URI, else what CDiskFile throws.
// Other streams and processes may read, write, rename and delete the file
// while it is open.
class CDiskStream : public CObject, public virtual ISeekableStream {
public:
    using CMarker = TStreamMarker<CDiskStream>;

    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override;

    int64_t getPosition() override;
    int64_t getSize() override;
    bool isClosed() override;
    void close() override;
    P<IURI> getURI() override;

    P<IStreamMarker> createMarker() override;
    // Throws CCastError for a marker that another stream made.
    void resetToMarker(IStreamMarker& marker) override;
    // Targets outside 0..getSize() throw CInvalidArgError.
    void seek(int64_t position) override;
    void seekFromEnd(int64_t delta) override;
    void seekRelative(int64_t delta) override;

protected:
    CDiskStream(const P<IURI>& uri, CDiskFile::EMode mode);

    // The halves of the in and out streams. Each checks its arguments and
    // that the stream is open, and holds the lock.

    // What one system read gives: fewer bytes than asked only at the end or
    // when a file that cannot seek has no more yet.
    int32_t readSome(void* buffer, int32_t count, const char* method);
    // Reads until `count` bytes or the end.
    int32_t readFill(void* buffer, int32_t count, const char* method);
    // Skips until `count` bytes or the end.
    int32_t skipFill(int32_t count, const char* method);
    // True at the end and once closed.
    bool isAtEnd();
    void writeAll(const void* data, int32_t count, const char* method);
    // Throws CStreamClosedError once closed.
    void ensureOpen();
    const P<IMutex>& getMutex() const;

private:
    int32_t readOnce(void* buffer, int32_t count);
    int32_t readFillLocked(void* buffer, int32_t count);
    int64_t getSizeLocked();
    void moveTo(int64_t base, int64_t delta, const char* method);
    void ensureSeekable();

    P<IMutex> m_mutex;
    P<IURI> m_uri;
    CDiskFile m_file;
    // Where a file that cannot seek has shown its end by a read of nothing.
    bool m_bEnded = false;
    int64_t m_position = -1;
    int64_t m_closedSize = -1;
};

} // namespace lumo
