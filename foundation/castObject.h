#pragma once

#include "foundation/CCastError.h"
#include "foundation/P.h"

#include <typeinfo>

namespace lumo {

namespace detail {

template <class T> P<T> castCandidates(IBase* object, const IBase::Candidates& candidates)
{
    if (T* direct = dynamic_cast<T*>(object))
        return P<T>(direct);
    for (const P<IBase>& candidate : candidates)
        if (T* found = dynamic_cast<T*>(candidate.get()))
            return P<T>(found);
    return nullptr;
}

template <class T> P<T> castFollowingRedirects(IBase* object)
{
    if (!object)
        return nullptr;
    P<IBase> redirect;
    IBase::Candidates candidates;
    if (!object->getInterface(typeid(T), redirect, candidates))
        return nullptr;
    if (redirect)
        return castFollowingRedirects<T>(redirect.get());
    return castCandidates<T>(object, candidates);
}

} // namespace detail

// Asks the object for interface T, following redirects and candidates. A
// null object gives null. A refused or impossible cast gives null, or throws
// CCastError when bThrow is set.
template <class T> P<T> castObject(IBase* object, bool bThrow = true)
{
    if (!object)
        return nullptr;
    P<T> result = detail::castFollowingRedirects<T>(object);
    if (!result && bThrow)
        throw CCastError(object, &typeid(T));
    return result;
}

template <class T, class U> P<T> castObject(const P<U>& object, bool bThrow = true)
{
    return castObject<T>(static_cast<IBase*>(object.get()), bThrow);
}

} // namespace lumo
