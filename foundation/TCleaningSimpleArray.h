#pragma once

#include "foundation/TSimpleArray.h"

namespace lumo {

class CCleaningSimpleArrayTemplateBase : public CObject {};

// A counted holder of one TSimpleArray: when the holder dies, the array and
// the references of its elements go with it.
template <class E> class TCleaningSimpleArray : public CCleaningSimpleArrayTemplateBase {
public:
    explicit TCleaningSimpleArray(int32_t growthStep = 0) : m_array(make<TSimpleArray<E>>(growthStep)) {}

    TSimpleArray<E>& array() { return *m_array; }
    const TSimpleArray<E>& array() const { return *m_array; }

    int32_t getCount() const { return m_array->getCount(); }
    const E& get(int32_t index) const { return m_array->get(index); }
    void add(const E& element) { m_array->add(element); }
    void remove(int32_t index, int32_t count = 1) { m_array->remove(index, count); }
    template <class X> bool removeObject(const X* object) { return m_array->removeObject(object); }
    void clear() { m_array->clear(); }

private:
    P<TSimpleArray<E>> m_array;
};

} // namespace lumo
