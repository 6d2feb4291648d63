#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "streams/IMemoryManager.h"

#include <atomic>
#include <vector>

namespace lumo {

class CCachedMemoryBlock;

// Hands out memory blocks and keeps released ones in buckets by size class:
// bucket i holds blocks of capacity 2^i up to below 2^(i+1). A request of a
// MiB or more whose bucket is empty takes a block of the class above, at
// most four times its size, before it allocates: fresh memory that large
// costs a page fault for every page, and a block read from a stream is asked
// for at a part of the length it grows to. A request for less than one byte,
// or of a class beyond the last bucket, gets a plain block that is freed with
// its last reference. The cached bytes (2^i for each cached block of class
// i) never pass the limit: a block that would pass it is freed instead.
// Thread-safe; each bucket has its own lock.
class CMemoryManager : public CObject, public virtual IMemoryManager {
public:
    static constexpr int64_t defaultCacheLimit = int64_t(64) << 20;

    // Throws CInvalidArgError for a negative bucket count or cache limit.
    explicit CMemoryManager(int32_t bucketCount, int64_t cacheLimit = defaultCacheLimit);
    ~CMemoryManager() override;

    P<IMemoryBlock> allocate(int32_t capacity) override;
    void purge() override;

    // The cached bytes as counted against the limit.
    int64_t getCachedBytes() const;

    // The size class of a capacity: the whole part of its log2, -1 below 1.
    static int32_t getSizeClass(int32_t capacity);

private:
    friend class CCachedMemoryBlock;

    struct Bucket {
        P<IMutex> mutex;
        std::vector<CCachedMemoryBlock*> blocks;
    };

    // Takes over a block whose last reference went: caches or frees it.
    void takeBack(CCachedMemoryBlock* block) noexcept;
    // Counts `bytes` against the limit; false (and nothing counted) when they
    // would pass it.
    bool tryCountCached(int64_t bytes) noexcept;
    // A cached block for a request of `sizeClass` (see above), or null.
    CCachedMemoryBlock* popCachedFor(int32_t sizeClass);
    CCachedMemoryBlock* popCached(int32_t sizeClass);
    static int64_t getClassBytes(int32_t sizeClass);

    std::vector<Bucket> m_buckets;
    const int64_t m_cacheLimit;
    std::atomic<int64_t> m_cachedBytes{0};
};

// The process-wide manager (30 buckets, the default limit).
P<IMemoryManager> getMemoryManager();

} // namespace lumo
