#pragma once

#include "foundation/CObject.h"
#include "host/wire/IBufferLender.h"
#include "streams/IMemoryBlock.h"
#include "streams/IMemoryManager.h"

namespace nebo::common {

// A block made in a buffer shared with the master. Past the buffer's size
// its bytes move to a block of `overflow`, freeing the buffer; its last
// reference gives the buffer back. Not locked: its user locks.
class CSharedBufferBlock : public lumo::CObject, public virtual lumo::IMemoryBlock {
public:
    // Buffer `index` of `lender`, reserved for this block: `capacity` bytes
    // at `data`, none in use.
    CSharedBufferBlock(lumo::P<IBufferLender> lender, lumo::P<lumo::IMemoryManager> overflow, int32_t index,
                       uint8_t* data, int32_t capacity);
    ~CSharedBufferBlock() override;

    void reserve(int32_t capacity) override;
    int32_t getCapacity() override;
    // Throws CInvalidArgError for a size outside 0..capacity.
    void setSize(int32_t size) override;
    int32_t getSize() override;
    uint8_t* getData() override;

private:
    void giveBackBuffer() noexcept;

    const lumo::P<IBufferLender> m_lender;
    const lumo::P<lumo::IMemoryManager> m_overflow;
    const int32_t m_index;
    bool m_holdsBuffer = true;
    uint8_t* const m_data;
    const int32_t m_capacity;
    int32_t m_size = 0;
    // Where the bytes went once they outgrew the buffer.
    lumo::P<lumo::IMemoryBlock> m_moved;
};

} // namespace nebo::common
