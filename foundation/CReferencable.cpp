#include "foundation/CReferencable.h"

namespace lumo {

void CReferencable::addReference() const noexcept { m_count.fetch_add(1, std::memory_order_relaxed); }

void CReferencable::releaseReference() const noexcept
{
    if (m_count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        m_count.store(destroyingCount, std::memory_order_relaxed);
        destroy(this);
    }
}

int32_t CReferencable::getReferenceCount() const noexcept { return m_count.load(std::memory_order_relaxed); }

void CReferencable::destroy(const CReferencable* object) noexcept { delete object; }

} // namespace lumo
