#pragma once

#include "streams/CFixedMemoryBlock.h"

namespace nebo::common {

class CSharedPictureRing;

// A picture's pixels inside one buffer of a shared ring. It cannot grow
// past the buffer's end; its last reference gives the buffer back to the
// ring. Not locked: its user locks.
class CSharedPictureBlock : public lumo::CFixedMemoryBlock {
public:
    // `size` bytes in use at `data`, room for `capacity`; the ring checked
    // them against buffer `index`.
    CSharedPictureBlock(lumo::P<CSharedPictureRing> ring, int32_t index, uint8_t* data, int32_t size,
                        int32_t capacity);
    ~CSharedPictureBlock() override;

private:
    const lumo::P<CSharedPictureRing> m_ring;
    const int32_t m_index;
};

} // namespace nebo::common
