#include "foundation/CArray.h"

namespace lumo {

P<IConstEnum> CArray::getConstEnum() const { return make<CConstEnum>(PC<IConstArray>(this)); }

void CArray::add(const P<IBase>& object) { m_elements.add(object); }

bool CArray::remove(const IBase* object) { return m_elements.removeObject(object); }

void CArray::clear() { m_elements.clear(); }

P<IEnum> CArray::getEnum() { return make<CEnum>(PC<IConstArray>(this)); }

void CArray::set(int32_t index, const P<IBase>& object)
{
    checkIndex(index, m_elements.getCount() - 1, "set");
    m_elements.set(index, object);
}

void CArray::insert(int32_t index, const P<IBase>& object)
{
    checkIndex(index, m_elements.getCount(), "insert");
    m_elements.insert(index, &object, 1);
}

void CArray::removeAt(int32_t index)
{
    checkIndex(index, m_elements.getCount() - 1, "removeAt");
    m_elements.remove(index);
}

void CArray::CEnum::skip() { nextElement(); }

} // namespace lumo
