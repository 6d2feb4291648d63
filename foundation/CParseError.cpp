#include "foundation/CParseError.h"

namespace lumo {

CParseError::CParseError(const String& description) : CError(description, "Parse error") {}

P<CException> CParseError::clone() const { return make<CParseError>(*this); }

} // namespace lumo
