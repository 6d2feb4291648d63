#include "platform/CPipeOutStreamBase.h"

#include "foundation/IURI.h"
#include "streams/streamCopy.h"

namespace lumo {

void CPipeOutStreamBase::copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort)
{
    copyStream(in, *this, buffer, bufferSize, abort, true);
}

int32_t CPipeOutStreamBase::writeCounted(const void* data, int32_t count)
{
    write(data, count);
    return count;
}

void CPipeOutStreamBase::checkOpen() {}

int64_t CPipeOutStreamBase::getPosition() { return -1; }

int64_t CPipeOutStreamBase::getSize() { return -1; }

void CPipeOutStreamBase::close() {}

P<IURI> CPipeOutStreamBase::getURI() { return nullptr; }

} // namespace lumo
