#pragma once

#include "foundation/CInvalidObjectStateError.h"

namespace lumo {

// An enumerator was asked for an element after its last one.
class CEndOfEnumError : public CInvalidObjectStateError {
public:
    explicit CEndOfEnumError(IBase* object, const std::type_info* type = nullptr);

    P<CException> clone() const override;
};

} // namespace lumo
