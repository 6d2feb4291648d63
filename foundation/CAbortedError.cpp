#include "foundation/CAbortedError.h"

namespace lumo {

CAbortedError::CAbortedError(const String& description) : CError(description) {}

P<CException> CAbortedError::clone() const { return make<CAbortedError>(*this); }

} // namespace lumo
