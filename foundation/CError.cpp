#include "foundation/CError.h"

namespace lumo {

CError::CError(const String& description, const String& generalDescription)
    : CException(textOr(description, "Unspecified error"), textOr(generalDescription, "Error"))
{
}

String CError::textOr(const String& text, const String& defaultText) { return text.isEmpty() ? defaultText : text; }

P<CException> CError::clone() const { return make<CError>(*this); }

} // namespace lumo
