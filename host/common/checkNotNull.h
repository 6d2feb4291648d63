#pragma once

#include "foundation/CInvalidArgError.h"
#include "foundation/P.h"

#include <string>

namespace nebo::common {

// `object` itself; throws CInvalidArgError "<argument> must not be null"
// naming `method` when it is null. For constructor initialisers.
template <class T> lumo::P<T> checkNotNull(lumo::P<T> object, const char* argument, const char* method)
{
    if (!object)
        throw lumo::CInvalidArgError(lumo::String::fromUTF8(std::string(argument) + " must not be null"),
                                     lumo::String::fromUTF8(method));
    return object;
}

} // namespace nebo::common
