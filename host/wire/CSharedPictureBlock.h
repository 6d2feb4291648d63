#pragma once

#include "host/wire/IBufferLender.h"
#include "streams/CFixedMemoryBlock.h"

namespace nebo::common {

// A picture's pixels inside one buffer of a shared ring. It cannot grow
// past the buffer's end; its last reference gives the buffer back to the
// lender. Not locked: its user locks.
class CSharedPictureBlock : public lumo::CFixedMemoryBlock {
public:
    // `size` bytes in use at `data`, room for `capacity`; the lender checked
    // them against its buffer `index`.
    CSharedPictureBlock(lumo::P<IBufferLender> lender, int32_t index, uint8_t* data, int32_t size, int32_t capacity);
    ~CSharedPictureBlock() override;

private:
    const lumo::P<IBufferLender> m_lender;
    const int32_t m_index;
};

} // namespace nebo::common
