#pragma once

#include "foundation/IEnum.h"
#include "foundation/TMultiEnum.h"

namespace lumo {

// Chains several enumerators into one; see TMultiEnum for the rules.
class CMultiEnum : public TMultiEnum<IEnum> {
public:
    // Throws CEndOfEnumError, naming this enumerator, when none is left.
    void skip() override;
};

} // namespace lumo
