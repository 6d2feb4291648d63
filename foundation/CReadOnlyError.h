#pragma once

#include "foundation/CError.h"

namespace lumo {

// A change was asked of an object that cannot change. Built from the object's
// description (localisable message).
class CReadOnlyError : public CError {
public:
    explicit CReadOnlyError(const String& objectDescription);

    P<CException> clone() const override;
};

} // namespace lumo
