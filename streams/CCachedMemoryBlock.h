#pragma once

#include "streams/CMemoryBlockBase.h"

#include <atomic>

namespace lumo {

class CMemoryManager;

// A block of a CMemoryManager. When its last reference goes it is not freed
// but handed back to its manager, which keeps it for the next request of its
// size class or frees it. A block in use holds its manager, so the manager
// lives as long as any block it handed out; a cached block holds nothing.
//
// The block counts its users itself: the count of the object base only ever
// frees, and a cached block has to survive reaching zero.
class CCachedMemoryBlock final : public CMemoryBlockBase {
public:
    CCachedMemoryBlock(int32_t capacity, P<CMemoryManager> home);

    void addRef() const override;
    // The last release hands the block to its manager (see above).
    void release() const override;

private:
    friend class CMemoryManager;

    // Makes a cached block the new one of `home`, with one user and size 0.
    void reuse(P<CMemoryManager> home);

    mutable std::atomic<int32_t> m_users{1};
    mutable P<CMemoryManager> m_home;
};

} // namespace lumo
