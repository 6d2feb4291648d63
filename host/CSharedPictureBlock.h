#pragma once

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"

namespace nebo::common {

class CSharedPictureRing;

// A picture's pixels inside one buffer of a shared ring. It cannot grow
// past the buffer's end; its last reference gives the buffer back to the
// ring. Not locked: its user locks.
class CSharedPictureBlock : public lumo::CObject, public virtual lumo::IMemoryBlock {
public:
    // `size` bytes in use at `data`, room for `capacity`; the ring checked
    // them against buffer `index`.
    CSharedPictureBlock(lumo::P<CSharedPictureRing> ring, int32_t index, uint8_t* data, int32_t size,
                        int32_t capacity);
    ~CSharedPictureBlock() override;

    // Throws CInvalidArgError beyond the capacity: the buffer cannot grow.
    void reserve(int32_t capacity) override;
    int32_t getCapacity() override;
    // Throws CInvalidArgError for a size outside 0..capacity.
    void setSize(int32_t size) override;
    int32_t getSize() override;
    uint8_t* getData() override;

private:
    const lumo::P<CSharedPictureRing> m_ring;
    const int32_t m_index;
    uint8_t* const m_data;
    int32_t m_size;
    const int32_t m_capacity;
};

} // namespace nebo::common
