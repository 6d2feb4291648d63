#include "foundation/CReadOnlyError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

CReadOnlyError::CReadOnlyError(const String& objectDescription)
    : CError(localize("lumo.readOnlyErrorObjectDesc", "The object (%DESC%) is read-only and cannot be changed.")
                 .replace("%DESC%", objectDescription))
{
}

P<CException> CReadOnlyError::clone() const { return make<CReadOnlyError>(*this); }

} // namespace lumo
