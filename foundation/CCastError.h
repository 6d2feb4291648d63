#pragma once

#include "foundation/CObjectError.h"

namespace lumo {

// An object does not offer the interface it was cast to. The object rules of
// CObjectError apply; a null target reads "unknown".
class CCastError : public CObjectError {
public:
    CCastError(IBase* object, const std::type_info* target);

    P<CException> clone() const override;

    const std::type_info* getTargetType() const;

private:
    const std::type_info* m_target;
};

} // namespace lumo
