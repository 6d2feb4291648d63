#include "platform/windows/CDiskOutStream.h"

#include "foundation/sync/CScopedLock.h"
#include "streams/streamCopy.h"

namespace lumo::win32 {

CDiskOutStream::CDiskOutStream(const P<IURI>& uri) : CDiskOutStream(uri, OpenMode{GENERIC_WRITE, CREATE_ALWAYS})
{
}

CDiskOutStream::CDiskOutStream(const P<IURI>& uri, const OpenMode& mode) : CDiskStream(uri, mode)
{
}

void CDiskOutStream::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    CScopedLock lock(getMutex());
    ensureOpen();
    copyStream(in, *this, buffer, bufferSize, abort, true);
}

void CDiskOutStream::write(const void* data, int32_t count)
{
    writeAll(data, count, "write");
}

int32_t CDiskOutStream::writeCounted(const void* data, int32_t count)
{
    writeAll(data, count, "writeCounted");
    return count;
}

void CDiskOutStream::checkOpen()
{
    ensureOpen();
}

} // namespace lumo::win32
