#include "platform/posix/CDiskIOStream.h"

#include <fcntl.h>

namespace lumo::posix {

namespace {

constexpr int readWriteFlags = O_RDWR | O_CREAT;

} // namespace

CDiskIOStream::CDiskIOStream(const P<IURI>& uri)
    : CDiskStream(uri, readWriteFlags), CDiskInStream(uri, readWriteFlags), CDiskOutStream(uri, readWriteFlags)
{
}

void CDiskIOStream::write(const void* data, int32_t count)
{
    CDiskOutStream::write(data, count);
}

int32_t CDiskIOStream::writeCounted(const void* data, int32_t count)
{
    return CDiskOutStream::writeCounted(data, count);
}

void CDiskIOStream::checkOpen()
{
    CDiskOutStream::checkOpen();
}

} // namespace lumo::posix
