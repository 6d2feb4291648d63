#pragma once

#include "foundation/IBase.h"

#include <cstdint>

namespace lumo {

// A growable byte buffer. Not locked: its user locks.
class IMemoryBlock : public virtual IBase {
public:
    // Makes room for `capacity` bytes, keeping the first getSize() bytes;
    // never shrinks.
    virtual void reserve(int32_t capacity) = 0;
    virtual int32_t getCapacity() = 0;
    // Bytes in use; may not exceed the capacity.
    virtual void setSize(int32_t size) = 0;
    virtual int32_t getSize() = 0;
    // Byte 0; valid until the next reserve().
    virtual uint8_t* getData() = 0;
};

} // namespace lumo
