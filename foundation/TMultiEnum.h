#pragma once

#include "foundation/CEndOfEnumError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "foundation/CObject.h"
#include "foundation/IStringLocalizer.h"
#include "foundation/TSimpleArray.h"

namespace lumo {

// The walk shared by the multi enumerators: the elements of several
// enumerators of interface I, one after the other. Sub-enumerators are added
// first; the first enumeration call locks the chain against further adding.
template <class I> class TMultiEnum : public CObject, public virtual I {
public:
    // Appends a sub-enumerator (counted). Throws CInvalidArgError for a null
    // one or this enumerator itself, and CInvalidObjectStateError once any
    // enumeration operation has been called.
    void add(const P<I>& subEnum)
    {
        if (m_bLocked)
            throw CInvalidObjectStateError(
                localize(
                    "lumo.CMultiEnum.addLocked",
                    "No more sub enums can be added to a multi enum after one of its IEnum methods has been called."),
                this);
        if (!subEnum)
            throw CInvalidArgError("the sub enumerator is null", "add", this);
        if (subEnum.get() == this)
            throw CInvalidArgError("a multi enumerator cannot be its own sub enumerator", "add", this);
        m_subEnums.add(subEnum);
    }

    bool hasMoreElements() override { return advance(); }

    // The sum over the sub-enumerators not yet finished; -1 as soon as one
    // of them does not know its count.
    int32_t getRemainingCount() override
    {
        m_bLocked = true;
        int32_t total = m_current ? m_current->getRemainingCount() : 0;
        for (int32_t i = m_nextIndex; i < m_subEnums.getCount() && total >= 0; ++i) {
            const int32_t count = m_subEnums.get(i)->getRemainingCount();
            total = count < 0 ? -1 : total + count;
        }
        return total;
    }

    P<IBase> nextElement() override { return requireCurrent().nextElement(); }

    // Starts over with the first sub-enumerator, resetting every one of them.
    void reset() override
    {
        m_bLocked = true;
        m_current = nullptr;
        m_nextIndex = 0;
        for (int32_t i = 0; i < m_subEnums.getCount(); ++i)
            m_subEnums.get(i)->reset();
    }

protected:
    // The sub-enumerator that holds the next element. Throws CEndOfEnumError,
    // naming this enumerator, when every one is exhausted.
    I& requireCurrent()
    {
        if (!advance())
            throw CEndOfEnumError(this);
        return *m_current;
    }

private:
    // Moves past exhausted sub-enumerators; false when none with elements is left.
    bool advance()
    {
        m_bLocked = true;
        while (!m_current || !m_current->hasMoreElements()) {
            if (m_nextIndex >= m_subEnums.getCount()) {
                m_current = nullptr;
                return false;
            }
            m_current = m_subEnums.get(m_nextIndex++);
        }
        return true;
    }

    TSimpleArray<P<I>> m_subEnums;
    // The index of the sub-enumerator that follows the current one.
    int32_t m_nextIndex = 0;
    P<I> m_current;
    bool m_bLocked = false;
};

} // namespace lumo
