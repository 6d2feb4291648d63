#pragma once

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"

#include <memory>

namespace lumo {

// The growable buffer behind every memory block; subclasses decide what
// happens when the last reference goes. Not locked: its user locks.
class CMemoryBlockBase : public CObject, public virtual IMemoryBlock {
public:
    // Grows to exactly `capacity`, so that the capacity, by which a memory
    // manager keeps a block for reuse, is what the block was asked to hold;
    // a caller that appends in small steps grows it geometrically itself. A
    // capacity at or below the current one changes nothing.
    void reserve(int32_t capacity) override;
    int32_t getCapacity() override;
    // Throws CInvalidArgError for a size outside 0..capacity.
    void setSize(int32_t size) override;
    int32_t getSize() override;
    uint8_t* getData() override;

protected:
    // Room for `capacity` bytes (none for a capacity below 1), size 0.
    explicit CMemoryBlockBase(int32_t capacity);

private:
    std::unique_ptr<uint8_t[]> m_data;
    int32_t m_capacity = 0;
    int32_t m_size = 0;
};

} // namespace lumo
