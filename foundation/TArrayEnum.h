#pragma once

#include "foundation/CEndOfEnumError.h"
#include "foundation/CObject.h"
#include "foundation/IConstArray.h"

#include <algorithm>

namespace lumo {

// The walk by index shared by the array enumerators; I is the enumerator
// interface offered. The walk is live: it keeps the array alive and sees
// changes made to it meanwhile, so elements inserted or removed before the
// current position shift what comes next.
template <class I> class TArrayEnum : public CObject, public virtual I {
public:
    explicit TArrayEnum(PC<IConstArray> array) : m_array(std::move(array)) {}

    bool hasMoreElements() override { return m_index < m_array->getCount(); }
    int32_t getRemainingCount() override { return std::max(0, m_array->getCount() - m_index); }
    P<IBase> nextElement() override
    {
        if (!hasMoreElements())
            throw CEndOfEnumError(this);
        return m_array->get(m_index++);
    }
    void reset() override { m_index = 0; }

private:
    PC<IConstArray> m_array;
    int32_t m_index = 0;
};

} // namespace lumo
