#include "streams/CStreamClosedError.h"

namespace lumo {

CStreamClosedError::CStreamClosedError(const IURI* uri) : CStreamError(uri, "The stream has been closed.") {}

P<CException> CStreamClosedError::clone() const { return make<CStreamClosedError>(*this); }

} // namespace lumo
