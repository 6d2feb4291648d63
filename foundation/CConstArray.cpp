#include "foundation/CConstArray.h"

namespace lumo {

CConstArray::CConstArray(const TSimpleArray<P<IBase>>& elements)
{
    m_elements.reserve(elements.getCount());
    for (int32_t i = 0; i < elements.getCount(); ++i)
        m_elements.add(elements.get(i));
}

P<IConstEnum> CConstArray::getConstEnum() const { return make<CConstEnum>(PC<IConstArray>(this)); }

} // namespace lumo
