#include "host/slave/CSharedBufferBlock.h"

#include "foundation/CInvalidArgError.h"

#include <cstring>

namespace nebo::common {

CSharedBufferBlock::CSharedBufferBlock(lumo::P<IBufferLender> lender, lumo::P<lumo::IMemoryManager> overflow,
                                       int32_t index, uint8_t* data, int32_t capacity)
    : m_lender(std::move(lender)), m_overflow(std::move(overflow)), m_index(index), m_data(data), m_capacity(capacity)
{
}

CSharedBufferBlock::~CSharedBufferBlock() { giveBackBuffer(); }

void CSharedBufferBlock::reserve(int32_t capacity)
{
    if (m_moved) {
        m_moved->reserve(capacity);
        return;
    }
    if (capacity <= m_capacity)
        return;
    lumo::P<lumo::IMemoryBlock> moved = m_overflow->allocate(capacity);
    std::memcpy(moved->getData(), m_data, size_t(m_size));
    moved->setSize(m_size);
    m_moved = std::move(moved);
    giveBackBuffer();
}

int32_t CSharedBufferBlock::getCapacity() { return m_moved ? m_moved->getCapacity() : m_capacity; }

void CSharedBufferBlock::setSize(int32_t size)
{
    if (m_moved)
        return m_moved->setSize(size);
    if (size < 0 || size > m_capacity)
        throw lumo::CInvalidArgError("the size must lie between 0 and the capacity", "setSize", this);
    m_size = size;
}

int32_t CSharedBufferBlock::getSize() { return m_moved ? m_moved->getSize() : m_size; }

uint8_t* CSharedBufferBlock::getData() { return m_moved ? m_moved->getData() : m_data; }

void CSharedBufferBlock::giveBackBuffer() noexcept
{
    if (m_holdsBuffer)
        m_lender->giveBack(m_index);
    m_holdsBuffer = false;
}

} // namespace nebo::common
