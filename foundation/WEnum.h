#pragma once

#include "foundation/CEmptyEnum.h"
#include "foundation/castObject.h"

namespace lumo {

// A typed view of an enumerator: hands out its elements as P<I>. A value
// class; copies share the enumerator, and a null enumerator walks nothing.
template <class I> class WEnum {
public:
    template <class E> WEnum(const P<E>& elements)
        : m_elements(elements ? P<IConstEnum>(elements) : P<IConstEnum>(make<CEmptyEnum>()))
    {
    }

    bool hasMoreElements() { return m_elements->hasMoreElements(); }
    int32_t getRemainingCount() { return m_elements->getRemainingCount(); }
    // Throws CEndOfEnumError when none is left and CCastError when the element
    // is not an I; a null element stays null.
    P<I> nextElement() { return castObject<I>(m_elements->nextElement()); }
    void reset() { m_elements->reset(); }

    const P<IConstEnum>& get() const { return m_elements; }

private:
    P<IConstEnum> m_elements;
};

} // namespace lumo
