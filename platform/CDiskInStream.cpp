#include "platform/CDiskInStream.h"

#include "foundation/sync/CScopedLock.h"
#include "streams/CEndOfStreamError.h"
#include "streams/streamCopy.h"

namespace lumo {

CDiskInStream::CDiskInStream(const P<IURI>& uri) : CDiskInStream(uri, CDiskFile::EMode::read) {}

CDiskInStream::CDiskInStream(const P<IURI>& uri, CDiskFile::EMode mode) : CDiskStream(uri, mode) {}

void CDiskInStream::copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    CScopedLock lock(getMutex());
    ensureOpen();
    copyStream(*this, out, buffer, bufferSize, abort, false);
}

int32_t CDiskInStream::read(void* buffer, int32_t count) { return readSome(buffer, count, "read"); }

void CDiskInStream::readFully(void* buffer, int32_t count)
{
    if (readFill(buffer, count, "readFully") != count)
        throw CEndOfStreamError(getURI().get());
}

int32_t CDiskInStream::skip(int32_t count) { return skipFill(count, "skip"); }

void CDiskInStream::skipFully(int32_t count)
{
    if (skipFill(count, "skipFully") != count)
        throw CEndOfStreamError(getURI().get());
}

bool CDiskInStream::isEOF() { return isAtEnd(); }

} // namespace lumo
