#include "foundation/CFinishedError.h"

namespace lumo {

CFinishedError::CFinishedError(const String& description) : CError(description) {}

P<CException> CFinishedError::clone() const { return make<CFinishedError>(*this); }

} // namespace lumo
