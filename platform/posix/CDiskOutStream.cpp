#include "platform/posix/CDiskOutStream.h"

#include "foundation/sync/CScopedLock.h"
#include "streams/streamCopy.h"

#include <fcntl.h>

namespace lumo::posix {

CDiskOutStream::CDiskOutStream(const P<IURI>& uri) : CDiskOutStream(uri, O_WRONLY | O_CREAT | O_TRUNC)
{
}

CDiskOutStream::CDiskOutStream(const P<IURI>& uri, int openFlags) : CDiskStream(uri, openFlags)
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

} // namespace lumo::posix
