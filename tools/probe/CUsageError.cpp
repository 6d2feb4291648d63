#include "tools/probe/CUsageError.h"

namespace nebo::probe {

CUsageError::CUsageError(const lumo::String& message) : lumo::CError(message, lumo::String("usage")) {}

lumo::P<lumo::CException> CUsageError::clone() const { return lumo::make<CUsageError>(*this); }

} // namespace nebo::probe
