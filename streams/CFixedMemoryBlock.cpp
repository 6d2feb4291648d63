#include "streams/CFixedMemoryBlock.h"

#include "foundation/CInvalidArgError.h"

namespace lumo {

CFixedMemoryBlock::CFixedMemoryBlock(uint8_t* data, int32_t size, int32_t capacity)
    : m_data(data), m_size(size), m_capacity(capacity)
{
}

void CFixedMemoryBlock::reserve(int32_t capacity)
{
    if (capacity > m_capacity)
        throw CInvalidArgError("a block on memory of another owner cannot grow", "reserve", this);
}

int32_t CFixedMemoryBlock::getCapacity() { return m_capacity; }

void CFixedMemoryBlock::setSize(int32_t size)
{
    if (size < 0 || size > m_capacity)
        throw CInvalidArgError("the size must lie between 0 and the capacity", "setSize", this);
    m_size = size;
}

int32_t CFixedMemoryBlock::getSize() { return m_size; }

uint8_t* CFixedMemoryBlock::getData() { return m_data; }

} // namespace lumo
