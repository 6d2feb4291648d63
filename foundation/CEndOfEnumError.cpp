#include "foundation/CEndOfEnumError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

CEndOfEnumError::CEndOfEnumError(IBase* object, const std::type_info* type)
    : CInvalidObjectStateError(localize("lumo.CEndOfEnumError.desc", "end of enumeration already reached"), object,
                               type)
{
}

P<CException> CEndOfEnumError::clone() const { return make<CEndOfEnumError>(*this); }

} // namespace lumo
