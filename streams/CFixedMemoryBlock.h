#pragma once

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"

namespace lumo {

// A block on memory that another owner keeps: a fixed window that cannot
// grow, whose size may change within it. Subclasses hold on to the owner
// and let go of it when the last reference goes. Not locked: its user locks.
class CFixedMemoryBlock : public CObject, public virtual IMemoryBlock {
public:
    // Throws CInvalidArgError beyond the capacity: the window cannot grow.
    void reserve(int32_t capacity) override;
    int32_t getCapacity() override;
    // Throws CInvalidArgError for a size outside 0..capacity.
    void setSize(int32_t size) override;
    int32_t getSize() override;
    uint8_t* getData() override;

protected:
    // `size` bytes in use at `data`, room for `capacity`.
    CFixedMemoryBlock(uint8_t* data, int32_t size, int32_t capacity);

private:
    uint8_t* const m_data;
    int32_t m_size;
    const int32_t m_capacity;
};

} // namespace lumo
