#pragma once

#include "foundation/CObject.h"
#include "streams/IMemoryBlock.h"

namespace nebo::common {

// A fixed window on the bytes of another block, which it keeps alive: a
// plane of a picture handed out without copying. The window never moves or
// grows; its size may be set within its length. Not locked, like blocks.
class CMemoryBlockView : public lumo::CObject, public virtual lumo::IMemoryBlock {
public:
    // The window [offset, offset + length) of `parent`, size `length`.
    // Throws CInvalidArgError when it does not lie inside the parent's size.
    CMemoryBlockView(lumo::P<lumo::IMemoryBlock> parent, int32_t offset, int32_t length);

    // Throws CInvalidArgError for a capacity beyond the window's length.
    void reserve(int32_t capacity) override;
    int32_t getCapacity() override;
    // Throws CInvalidArgError for a size outside 0..length.
    void setSize(int32_t size) override;
    int32_t getSize() override;
    // Throws CInvalidObjectStateError once the parent no longer holds the
    // window (it was read into or shrunk).
    uint8_t* getData() override;

private:
    lumo::P<lumo::IMemoryBlock> m_parent;
    const int32_t m_offset;
    const int32_t m_length;
    int32_t m_size;
};

} // namespace nebo::common
