#include "foundation/CArrayBase.h"

#include "foundation/CInvalidArgError.h"

#include <string>

namespace lumo {

int32_t CArrayBase::getCount() const { return m_elements.getCount(); }

bool CArrayBase::isEmpty() const { return m_elements.getCount() == 0; }

bool CArrayBase::contains(const IBase* object) const { return indexOf(object) >= 0; }

P<IBase> CArrayBase::get(int32_t index) const
{
    checkIndex(index, m_elements.getCount() - 1, "get");
    return m_elements.get(index);
}

int32_t CArrayBase::indexOf(const IBase* object) const
{
    for (int32_t i = 0; i < m_elements.getCount(); ++i)
        if (m_elements.get(i).get() == object)
            return i;
    return -1;
}

void CArrayBase::checkIndex(int32_t index, int32_t last, const String& method) const
{
    if (index >= 0 && index <= last)
        return;
    const std::string range = last < 0 ? "the array is empty" : "valid are 0 to " + std::to_string(last);
    throw CInvalidArgError(String::fromUTF8("index " + std::to_string(index) + " is out of range (" + range + ")"),
                           method, const_cast<CArrayBase*>(this));
}

} // namespace lumo
