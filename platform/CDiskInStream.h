#pragma once

#include "platform/CDiskStream.h"

namespace lumo {

// Reads a file that a "file" URI names. See CDiskStream for what opening
// throws and for files that cannot seek.
class CDiskInStream : public virtual CDiskStream, public virtual ISeekableInStream {
public:
    explicit CDiskInStream(const P<IURI>& uri);

    void copyTo(IOutStream& out, void* buffer, int32_t bufferSize, IAbortFlag* abort) override;
    void readFully(void* buffer, int32_t count) override;
    int32_t read(void* buffer, int32_t count) override;
    void skipFully(int32_t count) override;
    int32_t skip(int32_t count) override;
    // For a file that cannot seek: true once a read found nothing more.
    bool isEOF() override;

protected:
    // Opens in `mode`; in a stream that also writes the most derived class
    // opens, in the same mode.
    CDiskInStream(const P<IURI>& uri, CDiskFile::EMode mode);
};

} // namespace lumo
