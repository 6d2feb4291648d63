#pragma once

#include "foundation/CObject.h"
#include "foundation/IEnum.h"

namespace lumo {

// An enumerator that never has an element; stands in where there is
// nothing to walk.
class CEmptyEnum : public CObject, public virtual IEnum {
public:
    bool hasMoreElements() override;
    int32_t getRemainingCount() override;
    // Always throws CEndOfEnumError.
    P<IBase> nextElement() override;
    void reset() override;
    // Always throws CEndOfEnumError.
    void skip() override;
};

} // namespace lumo
