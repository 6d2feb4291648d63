#include "streams/CStreamError.h"

namespace lumo {

CStreamError::CStreamError(const String& description, const IURI* uri) : CURIError(description, uri) {}

CStreamError::CStreamError(const IURI* uri, const String& finishedDescription) : CURIError(uri, finishedDescription) {}

P<CException> CStreamError::clone() const { return make<CStreamError>(*this); }

} // namespace lumo
