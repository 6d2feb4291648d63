#pragma once

#include "foundation/CObject.h"
#include "platform/IPipeOutStream.h"

namespace lumo {

// What the pipe output streams share: no position, size or URI, nothing to
// open or close. A subclass says where a write goes and when it is closed.
class CPipeOutStreamBase : public CObject, public virtual IPipeOutStream {
public:
    // Waits for data in steps of 100 ms while `in` has none.
    void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;
    int64_t getPosition() override;
    int64_t getSize() override;
    // The pipe stays as it is: its owner ends it.
    void close() override;
    P<IURI> getURI() override;
};

} // namespace lumo
