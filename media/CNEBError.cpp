#include "media/CNEBError.h"

namespace nebo::common {

CNEBError::CNEBError(const lumo::String& message) : CError(message, "CNEBError") {}

lumo::P<lumo::CException> CNEBError::clone() const { return lumo::make<CNEBError>(*this); }

} // namespace nebo::common
