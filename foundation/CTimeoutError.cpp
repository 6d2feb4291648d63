#include "foundation/CTimeoutError.h"

namespace lumo {

CTimeoutError::CTimeoutError(const String& description) : CError(description) {}

P<CException> CTimeoutError::clone() const { return make<CTimeoutError>(*this); }

} // namespace lumo
