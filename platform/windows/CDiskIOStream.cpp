#include "platform/windows/CDiskIOStream.h"

namespace lumo::win32 {

namespace {

// The file is made when missing and keeps its bytes otherwise.
constexpr CDiskStream::OpenMode readWriteMode{GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS};

} // namespace

CDiskIOStream::CDiskIOStream(const P<IURI>& uri)
    : CDiskStream(uri, readWriteMode), CDiskInStream(uri, readWriteMode), CDiskOutStream(uri, readWriteMode)
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

} // namespace lumo::win32
