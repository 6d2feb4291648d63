#include "host/slave/CSharedBufferMemoryManager.h"

#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "host/common/checkNotNull.h"
#include "host/slave/CSharedBufferBlock.h"
#include "host/wire/ISharedPictureServer.h"

#include <bitset>
#include <cstring>

namespace nebo::common {

using lumo::P;

namespace {

uint32_t bitOf(int32_t index) { return uint32_t{1} << index; }

int32_t countBits(uint32_t bits) { return static_cast<int32_t>(std::bitset<32>(bits).count()); }

} // namespace

CSharedBufferMemoryManager::CSharedBufferMemoryManager(P<lumo::IMemoryManager> inner)
    : m_inner(checkNotNull(std::move(inner), "the inner manager", "CSharedBufferMemoryManager")),
      m_mutex(lumo::getMutexFactory()->createMutex())
{
}

P<lumo::IMemoryBlock> CSharedBufferMemoryManager::allocate(int32_t capacity) { return m_inner->allocate(capacity); }

P<lumo::IMemoryBlock> CSharedBufferMemoryManager::allocateShareable(int32_t capacity)
{
    {
        lumo::CScopedLock lock(m_mutex);
        const int64_t bufferSize = m_buffers.empty() ? 0 : m_buffers.front()->getSize();
        const int32_t freeCount = static_cast<int32_t>(m_buffers.size()) - countBits(usedBits());
        if (capacity > 0 && freeCount > 1) {
            const int32_t index = findFree(capacity);
            if (index != noBuffer) {
                prepareBuffer(index, capacity);
                P<lumo::IMemoryBlock> block = lumo::make<CSharedBufferBlock>(P<IBufferLender>(this), m_inner, index,
                                                                             m_buffers[size_t(index)]->getData(),
                                                                             static_cast<int32_t>(bufferSize));
                m_heldByBlocks |= bitOf(index);
                return block;
            }
        }
    }
    return m_inner->allocate(capacity);
}

void CSharedBufferMemoryManager::purge() { m_inner->purge(); }

bool CSharedBufferMemoryManager::takeBuffers(std::vector<P<lumo::ISharedMemory>> buffers)
{
    if (buffers.empty() || buffers.size() > size_t(ISharedPictureServer::maxRingBuffers))
        return false;
    for (const P<lumo::ISharedMemory>& buffer : buffers)
        if (buffer->getSize() != buffers.front()->getSize())
            return false;
    lumo::CScopedLock lock(m_mutex);
    if (!m_buffers.empty())
        return false;
    m_buffers = std::move(buffers);
    m_preparedBytes.assign(m_buffers.size(), 0);
    return true;
}

void CSharedBufferMemoryManager::releaseToSlave(uint32_t mask)
{
    lumo::CScopedLock lock(m_mutex);
    m_heldByMaster &= ~mask;
}

int32_t CSharedBufferMemoryManager::handOver(const uint8_t* pixels, int64_t size)
{
    lumo::CScopedLock lock(m_mutex);
    int32_t index = findStartingAt(pixels);
    if (index == noBuffer || m_buffers[size_t(index)]->getSize() < size) {
        index = findFree(size);
        if (index == noBuffer)
            return noBuffer;
        prepareBuffer(index, size);
        std::memcpy(m_buffers[size_t(index)]->getData(), pixels, size_t(size));
    }
    m_heldByMaster |= bitOf(index);
    return index;
}

int32_t CSharedBufferMemoryManager::findFree(int64_t size) const
{
    for (size_t i = 0; i < m_buffers.size(); ++i)
        if (!(usedBits() & bitOf(int32_t(i))) && m_buffers[i]->getSize() >= size)
            return int32_t(i);
    return noBuffer;
}

int32_t CSharedBufferMemoryManager::findStartingAt(const uint8_t* pixels) const
{
    for (size_t i = 0; i < m_buffers.size(); ++i)
        if (m_buffers[i]->getData() == pixels && (m_heldByBlocks & ~m_heldByMaster & bitOf(int32_t(i))))
            return int32_t(i);
    return noBuffer;
}

void CSharedBufferMemoryManager::prepareBuffer(int32_t index, int64_t bytes)
{
    int64_t& prepared = m_preparedBytes[size_t(index)];
    if (bytes <= prepared)
        return;
    // A system that cannot ready the pages now cannot later either: one try.
    static_cast<void>(m_buffers[size_t(index)]->prepareForWriting(bytes));
    prepared = bytes;
}

void CSharedBufferMemoryManager::giveBack(int32_t index) noexcept
{
    try {
        lumo::CScopedLock lock(m_mutex);
        m_heldByBlocks &= ~bitOf(index);
    } catch (...) {
        // Without the lock the buffer stays taken: one buffer fewer, never a
        // buffer given twice.
    }
}

} // namespace nebo::common
