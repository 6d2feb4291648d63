#include "host/wire/CSharedPictureBlock.h"

#include "host/wire/CSharedPictureRing.h"

namespace nebo::common {

CSharedPictureBlock::CSharedPictureBlock(lumo::P<CSharedPictureRing> ring, int32_t index, uint8_t* data,
                                         int32_t size, int32_t capacity)
    : CFixedMemoryBlock(data, size, capacity), m_ring(std::move(ring)), m_index(index)
{
}

CSharedPictureBlock::~CSharedPictureBlock()
{
    m_ring->giveBack(m_index);
}

} // namespace nebo::common
