#include "foundation/CFileAccessDeniedError.h"

#include "foundation/IStringLocalizer.h"

namespace lumo {

CFileAccessDeniedError::CFileAccessDeniedError(const IURI* uri)
    : CFileError(uri, localize("lumo.CFileAccessDeniedError.Desc", "The access of the file '%FILE%' was denied.")
                          .replace("%FILE%", displayTextOf(uri)))
{
}

P<CException> CFileAccessDeniedError::clone() const { return make<CFileAccessDeniedError>(*this); }

} // namespace lumo
