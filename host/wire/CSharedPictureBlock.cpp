#include "host/wire/CSharedPictureBlock.h"

namespace nebo::common {

CSharedPictureBlock::CSharedPictureBlock(lumo::P<IBufferLender> lender, int32_t index, uint8_t* data, int32_t size,
                                         int32_t capacity)
    : CFixedMemoryBlock(data, size, capacity), m_lender(std::move(lender)), m_index(index)
{
}

CSharedPictureBlock::~CSharedPictureBlock() { m_lender->giveBack(m_index); }

} // namespace nebo::common
