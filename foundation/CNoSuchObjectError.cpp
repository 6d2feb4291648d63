#include "foundation/CNoSuchObjectError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

CNoSuchObjectError::CNoSuchObjectError(const String& description)
    : CError(description.isEmpty() ? localize("lumo.CNoSuchObjectError.desc", "No such object.") : description)
{
}

P<CException> CNoSuchObjectError::clone() const { return make<CNoSuchObjectError>(*this); }

} // namespace lumo
