#include "platform/CDiskIOStream.h"

namespace lumo {

CDiskIOStream::CDiskIOStream(const P<IURI>& uri)
    : CDiskStream(uri, CDiskFile::EMode::readWrite), CDiskInStream(uri, CDiskFile::EMode::readWrite),
      CDiskOutStream(uri, CDiskFile::EMode::readWrite)
{
}

void CDiskIOStream::write(const void* data, int32_t count) { CDiskOutStream::write(data, count); }

int32_t CDiskIOStream::writeCounted(const void* data, int32_t count)
{
    return CDiskOutStream::writeCounted(data, count);
}

void CDiskIOStream::checkOpen() { CDiskOutStream::checkOpen(); }

} // namespace lumo
