#pragma once

#include "foundation/IConstEnum.h"
#include "foundation/TMultiEnum.h"

namespace lumo {

// Chains several read-only enumerators into one; see TMultiEnum for the rules.
class CConstMultiEnum : public TMultiEnum<IConstEnum> {};

} // namespace lumo
