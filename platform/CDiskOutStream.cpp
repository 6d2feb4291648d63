#include "platform/CDiskOutStream.h"

#include "foundation/sync/CScopedLock.h"
#include "streams/streamCopy.h"

namespace lumo {

CDiskOutStream::CDiskOutStream(const P<IURI>& uri) : CDiskOutStream(uri, CDiskFile::EMode::write) {}

CDiskOutStream::CDiskOutStream(const P<IURI>& uri, CDiskFile::EMode mode) : CDiskStream(uri, mode) {}

void CDiskOutStream::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    CScopedLock lock(getMutex());
    ensureOpen();
    copyStream(in, *this, buffer, bufferSize, abort, true);
}

void CDiskOutStream::write(const void* data, int32_t count) { writeAll(data, count, "write"); }

int32_t CDiskOutStream::writeCounted(const void* data, int32_t count)
{
    writeAll(data, count, "writeCounted");
    return count;
}

void CDiskOutStream::checkOpen() { ensureOpen(); }

} // namespace lumo
