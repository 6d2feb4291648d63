#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"

#include <cassert>
#include <cstdint>
#include <memory>
#include <utility>

namespace lumo {

// The hash of a text key: over its code points c, starting from 0,
// h = ((h & 0x0FFFFFFF) << 3) ^ (((h >> 2) ^ c) & 0x7FFFFFFF), shifting h
// right as a signed 32-bit value.
inline uint32_t hashOfKey(const String& key) { return key->getHash(); }

// Whole-string, exact code-point equality.
inline bool isSameKey(const String& a, const String& b) { return a->equals(b.get().get()); }

// The bucket arithmetic shared by the hash tables of every key and entry type.
class CSimpleHashTableTemplateBase : public CObject {
public:
    static constexpr int32_t initialBucketCount = 10;
    // The table grows before an insertion would take it beyond this many
    // entries per bucket.
    static constexpr double loadFactor = 0.8;
    static constexpr double growthFactor = 2.0;

    // 0 until the first insertion.
    int32_t getBucketCount() const { return m_bucketCount; }
    int32_t getCount() const { return m_count; }

protected:
    bool needsGrowthForOneMore() const { return m_bucketCount * loadFactor < m_count + 1; }
    int32_t getGrownBucketCount() const;
    int32_t getBucketIndex(uint32_t hash) const { return static_cast<int32_t>(hash % uint32_t(m_bucketCount)); }

    int32_t m_bucketCount = 0;
    int32_t m_count = 0;
};

// A chained hash table that owns its entries. An entry type E provides the
// members `uint32_t hash`, `K key` and `E* next`; the table fills in `hash`
// and `next`. Keys are hashed by hashOfKey(key) and compared by
// isSameKey(a, b), found through the key type's namespace (see above for
// String keys).
// Not locked: its owner locks.
template <class K, class E> class TSimpleHashTable : public CSimpleHashTableTemplateBase {
public:
    TSimpleHashTable() = default;
    ~TSimpleHashTable() override { clear(); }

    // The entry of the key, or null.
    E* find(const K& key) const
    {
        if (m_bucketCount == 0)
            return nullptr;
        const uint32_t hash = hashOfKey(key);
        for (E* entry = m_buckets[getBucketIndex(hash)]; entry; entry = entry->next)
            if (entry->hash == hash && isSameKey(entry->key, key))
                return entry;
        return nullptr;
    }

    // Takes over an entry whose key is not in the table yet. The new entry
    // goes to the head of its chain.
    E& insert(std::unique_ptr<E> entry)
    {
        assert(!find(entry->key));
        if (needsGrowthForOneMore())
            rehash(getGrownBucketCount());
        entry->hash = hashOfKey(entry->key);
        E* linked = entry.release();
        linkAtHead(linked, m_buckets.get());
        ++m_count;
        return *linked;
    }

    // Deletes the entry of the key; false when there is none.
    bool remove(const K& key)
    {
        if (m_bucketCount == 0)
            return false;
        const uint32_t hash = hashOfKey(key);
        for (E** link = &m_buckets[getBucketIndex(hash)]; *link; link = &(*link)->next) {
            E* entry = *link;
            if (entry->hash == hash && isSameKey(entry->key, key)) {
                // Unlinked before it dies, so that whatever its value's
                // destructor does finds the table consistent.
                *link = entry->next;
                --m_count;
                delete entry;
                return true;
            }
        }
        return false;
    }

    // Deletes every entry and the buckets; the next insertion starts afresh.
    void clear()
    {
        std::unique_ptr<E*[]> buckets = std::move(m_buckets);
        const int32_t bucketCount = m_bucketCount;
        m_bucketCount = 0;
        m_count = 0;
        for (int32_t i = 0; i < bucketCount; ++i)
            for (E* entry = buckets[i]; entry;)
                delete std::exchange(entry, entry->next);
    }

    // Calls visit(const E&) for every entry, bucket by bucket. The visitor
    // must not change the table.
    template <class F> void forEach(F&& visit) const
    {
        for (int32_t i = 0; i < m_bucketCount; ++i)
            for (const E* entry = m_buckets[i]; entry; entry = entry->next)
                visit(*entry);
    }

private:
    void linkAtHead(E* entry, E** buckets) const
    {
        E*& head = buckets[getBucketIndex(entry->hash)];
        entry->next = head;
        head = entry;
    }

    void rehash(int32_t bucketCount)
    {
        std::unique_ptr<E*[]> buckets(new E*[bucketCount]());
        const int32_t oldCount = std::exchange(m_bucketCount, bucketCount);
        for (int32_t i = 0; i < oldCount; ++i)
            for (E* entry = m_buckets[i]; entry;)
                linkAtHead(std::exchange(entry, entry->next), buckets.get());
        m_buckets = std::move(buckets);
    }

    std::unique_ptr<E*[]> m_buckets;
};

} // namespace lumo
