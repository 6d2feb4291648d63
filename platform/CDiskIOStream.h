#pragma once

#include "platform/CDiskInStream.h"
#include "platform/CDiskOutStream.h"

namespace lumo {

// Reads and writes a file that a "file" URI names through one position,
// creating the file when it does not exist and keeping its bytes when it
// does. See CDiskStream for what opening throws and for files that cannot
// seek.
class CDiskIOStream : public CDiskInStream, public CDiskOutStream, public virtual ISeekableIOStream {
public:
    explicit CDiskIOStream(const P<IURI>& uri);

    // The writing operations serve IOutStream and IIOStream alike.
    void write(const void* data, int32_t count) override;
    int32_t writeCounted(const void* data, int32_t count) override;
    void checkOpen() override;
};

} // namespace lumo
