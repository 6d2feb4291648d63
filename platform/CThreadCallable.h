#pragma once

#include "foundation/P.h"
#include "foundation/PFrail.h"

#include <functional>

namespace lumo {

// What a new thread runs: a member function without arguments, called on an
// object. The thread keeps the object alive while it runs when the callable
// is strong; a weak callable leaves the object's lifetime to the caller, who
// must keep it alive until the thread has ended.
//
// The function must not let an exception escape: one that does ends the
// process, as an unhandled exception on any thread does.
class CThreadCallable {
public:
    template <class C> CThreadCallable(C* object, void (C::*run)(), bool bStrong = true)
        : m_object(object, bStrong), m_run([object, run] { (object->*run)(); })
    {
    }
    template <class C> CThreadCallable(const P<C>& object, void (C::*run)(), bool bStrong = true)
        : CThreadCallable(object.get(), run, bStrong)
    {
    }

    const PFrail<IBase>& getObject() const { return m_object; }
    void run() const { m_run(); }

private:
    PFrail<IBase> m_object;
    std::function<void()> m_run;
};

} // namespace lumo
