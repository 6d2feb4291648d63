#pragma once

#include "foundation/PFrail.h"
#include "foundation/TCleaningSimpleArray.h"

namespace lumo {

class CFrailArrayTemplateBase : public CObject {};

// A list of listeners of interface I. Entries are weak: registering never
// keeps a listener alive, so a listener must remove itself before it dies.
// Not locked: the owner takes its own lock around every use.
template <class I> class TFrailArray : public CFrailArrayTemplateBase {
public:
    TFrailArray() : m_entries(make<TCleaningSimpleArray<PFrail<IBase>>>(10)) {}

    void add(I* listener) { m_entries->add(PFrail<IBase>(listener, false)); }
    bool remove(I* listener) { return m_entries->removeObject(static_cast<IBase*>(listener)); }
    int32_t getCount() const { return m_entries->getCount(); }
    I* get(int32_t index) const { return dynamic_cast<I*>(m_entries->get(index).get()); }

    // Calls `notify(listener)` from the last listener to the first, so that a
    // listener may remove itself during its call. Each listener is held by a
    // temporary reference while it is called.
    template <class F> void forEachBackwards(F&& notify) const
    {
        for (int32_t i = getCount() - 1; i >= 0; --i) {
            if (i >= getCount())
                continue;
            P<I> listener(get(i));
            if (listener)
                notify(listener.get());
        }
    }

private:
    P<TCleaningSimpleArray<PFrail<IBase>>> m_entries;
};

} // namespace lumo
