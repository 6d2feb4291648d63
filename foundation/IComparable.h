#pragma once

#include "foundation/IBase.h"

namespace lumo {

class IComparable : public virtual IBase {
public:
    // -1, 0 or 1. Objects of unrelated kinds never compare equal.
    virtual int compareTo(const IBase* other) const = 0;
};

} // namespace lumo
