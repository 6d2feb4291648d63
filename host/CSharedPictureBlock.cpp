#include "host/CSharedPictureBlock.h"

#include "foundation/CInvalidArgError.h"
#include "host/CSharedPictureRing.h"

namespace nebo::common {

CSharedPictureBlock::CSharedPictureBlock(lumo::P<CSharedPictureRing> ring, int32_t index, uint8_t* data,
                                         int32_t size, int32_t capacity)
    : m_ring(std::move(ring)), m_index(index), m_data(data), m_size(size), m_capacity(capacity)
{
}

CSharedPictureBlock::~CSharedPictureBlock()
{
    m_ring->giveBack(m_index);
}

void CSharedPictureBlock::reserve(int32_t capacity)
{
    if (capacity > m_capacity)
        throw lumo::CInvalidArgError("a shared picture buffer cannot grow", "reserve", this);
}

int32_t CSharedPictureBlock::getCapacity()
{
    return m_capacity;
}

void CSharedPictureBlock::setSize(int32_t size)
{
    if (size < 0 || size > m_capacity)
        throw lumo::CInvalidArgError("the size must lie within the capacity", "setSize", this);
    m_size = size;
}

int32_t CSharedPictureBlock::getSize()
{
    return m_size;
}

uint8_t* CSharedPictureBlock::getData()
{
    return m_data;
}

} // namespace nebo::common
