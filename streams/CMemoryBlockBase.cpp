#include "streams/CMemoryBlockBase.h"

#include "foundation/CInvalidArgError.h"

#include <cstring>

namespace lumo {

CMemoryBlockBase::CMemoryBlockBase(int32_t capacity) { reserve(capacity); }

void CMemoryBlockBase::reserve(int32_t capacity)
{
    if (capacity <= m_capacity)
        return;
    std::unique_ptr<uint8_t[]> data(new uint8_t[static_cast<size_t>(capacity)]);
    if (m_size > 0)
        std::memcpy(data.get(), m_data.get(), static_cast<size_t>(m_size));
    m_data = std::move(data);
    m_capacity = capacity;
}

int32_t CMemoryBlockBase::getCapacity() { return m_capacity; }

void CMemoryBlockBase::setSize(int32_t size)
{
    if (size < 0 || size > m_capacity)
        throw CInvalidArgError("the size must lie between 0 and the capacity", "setSize", this);
    m_size = size;
}

int32_t CMemoryBlockBase::getSize() { return m_size; }

uint8_t* CMemoryBlockBase::getData() { return m_data.get(); }

} // namespace lumo
