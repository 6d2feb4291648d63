#pragma once

#include "platform/CDiskStream.h"

namespace lumo {

// Writes a file that a "file" URI names, creating it or emptying it first.
// See CDiskStream for what opening throws and for files that cannot seek.
class CDiskOutStream : public virtual CDiskStream, public virtual ISeekableOutStream {
public:
    explicit CDiskOutStream(const P<IURI>& uri);

    void copyFrom(IInStream& in, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void write(const void* data, int32_t count) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;

protected:
    // Opens in `mode`; in a stream that also reads the most derived class
    // opens, in the same mode.
    CDiskOutStream(const P<IURI>& uri, CDiskFile::EMode mode);
};

} // namespace lumo
