#include "streams/CCachedMemoryBlock.h"

#include "streams/CMemoryManager.h"

namespace lumo {

CCachedMemoryBlock::CCachedMemoryBlock(int32_t capacity, P<CMemoryManager> home)
    : CMemoryBlockBase(capacity), m_home(std::move(home))
{
}

void CCachedMemoryBlock::addRef() const { m_users.fetch_add(1, std::memory_order_relaxed); }

void CCachedMemoryBlock::release() const
{
    if (m_users.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    // Once handed back, the block may at once be in another thread's hands or
    // freed, and dropping `home` may end the manager with every block it
    // caches: no member is touched after this point.
    P<CMemoryManager> home = std::move(m_home);
    home->takeBack(const_cast<CCachedMemoryBlock*>(this));
}

void CCachedMemoryBlock::reuse(P<CMemoryManager> home)
{
    m_home = std::move(home);
    m_users.store(1, std::memory_order_relaxed);
    setSize(0);
}

} // namespace lumo
