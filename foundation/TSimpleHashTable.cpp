#include "foundation/TSimpleHashTable.h"

#include <algorithm>

namespace lumo {

int32_t CSimpleHashTableTemplateBase::getGrownBucketCount() const
{
    if (m_bucketCount == 0)
        return initialBucketCount;
    return std::max(m_bucketCount + 1, static_cast<int32_t>(m_bucketCount * growthFactor));
}

} // namespace lumo
