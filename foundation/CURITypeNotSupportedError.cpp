#include "foundation/CURITypeNotSupportedError.h"

namespace lumo {

CURITypeNotSupportedError::CURITypeNotSupportedError(const IURI* uri)
    : CURIError(uri,
                describeURI(uri, "lumo.CURITypeNotSupportedError.Desc", "This type of URI ('%URI%') is not supported.",
                            "lumo.CURITypeNotSupportedError.GeneralDesc", "This type URI is not supported."))
{
}

P<CException> CURITypeNotSupportedError::clone() const { return make<CURITypeNotSupportedError>(*this); }

} // namespace lumo
