#include "foundation/CURIFormatError.h"

namespace lumo {

CURIFormatError::CURIFormatError(const IURI* uri)
    : CURIError(uri, describeURI(uri, "lumo.CURIFormatError.Desc", "The URI ('%URI%') has an invalid format.",
                                 "lumo.CURIFormatError.GeneralDesc", "The URI has an invalid format."))
{
}

P<CException> CURIFormatError::clone() const { return make<CURIFormatError>(*this); }

} // namespace lumo
