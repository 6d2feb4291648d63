#include "streams/CMemoryManager.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/TSingleton.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "streams/CCachedMemoryBlock.h"
#include "streams/CMemoryBlock.h"

namespace lumo {

namespace {

// The class of a MiB, from which a request may take a block of the class above.
constexpr int32_t firstLargeClass = 20;

} // namespace

CMemoryManager::CMemoryManager(int32_t bucketCount, int64_t cacheLimit) : m_cacheLimit(cacheLimit)
{
    if (bucketCount < 0)
        throw CInvalidArgError("the bucket count must not be negative", "CMemoryManager");
    if (cacheLimit < 0)
        throw CInvalidArgError("the cache limit must not be negative", "CMemoryManager");
    m_buckets.resize(static_cast<size_t>(bucketCount));
    for (Bucket& bucket : m_buckets)
        bucket.mutex = getMutexFactory()->createMutex();
}

CMemoryManager::~CMemoryManager() { purge(); }

int32_t CMemoryManager::getSizeClass(int32_t capacity)
{
    int32_t sizeClass = -1;
    for (; capacity > 0; capacity >>= 1)
        ++sizeClass;
    return sizeClass;
}

int64_t CMemoryManager::getClassBytes(int32_t sizeClass) { return int64_t(1) << sizeClass; }

P<IMemoryBlock> CMemoryManager::allocate(int32_t capacity)
{
    const int32_t sizeClass = getSizeClass(capacity);
    if (sizeClass < 0 || sizeClass >= static_cast<int32_t>(m_buckets.size()))
        return make<CMemoryBlock>(capacity);
    if (CCachedMemoryBlock* block = popCachedFor(sizeClass)) {
        block->reuse(this);
        P<IMemoryBlock> reused(adopt, block);
        reused->reserve(capacity);
        return reused;
    }
    return make<CCachedMemoryBlock>(capacity, this);
}

CCachedMemoryBlock* CMemoryManager::popCachedFor(int32_t sizeClass)
{
    if (CCachedMemoryBlock* block = popCached(sizeClass))
        return block;
    const bool bAboveExists = sizeClass + 1 < static_cast<int32_t>(m_buckets.size());
    return sizeClass >= firstLargeClass && bAboveExists ? popCached(sizeClass + 1) : nullptr;
}

CCachedMemoryBlock* CMemoryManager::popCached(int32_t sizeClass)
{
    Bucket& bucket = m_buckets[static_cast<size_t>(sizeClass)];
    CScopedLock lock(bucket.mutex);
    if (bucket.blocks.empty())
        return nullptr;
    CCachedMemoryBlock* block = bucket.blocks.back();
    bucket.blocks.pop_back();
    m_cachedBytes.fetch_sub(getClassBytes(sizeClass), std::memory_order_relaxed);
    return block;
}

void CMemoryManager::takeBack(CCachedMemoryBlock* block) noexcept
{
    // A block may have grown into another class (or beyond every bucket)
    // while in use; it is kept by what it can hold now.
    const int32_t sizeClass = getSizeClass(block->getCapacity());
    if (sizeClass >= 0 && sizeClass < static_cast<int32_t>(m_buckets.size()) &&
        tryCountCached(getClassBytes(sizeClass))) {
        try {
            Bucket& bucket = m_buckets[static_cast<size_t>(sizeClass)];
            CScopedLock lock(bucket.mutex);
            bucket.blocks.push_back(block);
            return;
        } catch (...) {
            m_cachedBytes.fetch_sub(getClassBytes(sizeClass), std::memory_order_relaxed);
        }
    }
    CReferencable::destroy(block);
}

bool CMemoryManager::tryCountCached(int64_t bytes) noexcept
{
    if (m_cachedBytes.fetch_add(bytes, std::memory_order_relaxed) + bytes <= m_cacheLimit)
        return true;
    m_cachedBytes.fetch_sub(bytes, std::memory_order_relaxed);
    return false;
}

void CMemoryManager::purge()
{
    for (size_t sizeClass = 0; sizeClass < m_buckets.size(); ++sizeClass) {
        std::vector<CCachedMemoryBlock*> blocks;
        {
            CScopedLock lock(m_buckets[sizeClass].mutex);
            blocks.swap(m_buckets[sizeClass].blocks);
        }
        m_cachedBytes.fetch_sub(getClassBytes(static_cast<int32_t>(sizeClass)) * static_cast<int64_t>(blocks.size()),
                                std::memory_order_relaxed);
        for (CCachedMemoryBlock* block : blocks)
            CReferencable::destroy(block);
    }
}

int64_t CMemoryManager::getCachedBytes() const { return m_cachedBytes.load(std::memory_order_relaxed); }

namespace {

constexpr int32_t processBucketCount = 30;

P<IMemoryManager> createProcessMemoryManager() { return make<CMemoryManager>(processBucketCount); }

TSingleton<IMemoryManager> holder(&createProcessMemoryManager);

} // namespace

P<IMemoryManager> getMemoryManager() { return holder.get(); }

} // namespace lumo
