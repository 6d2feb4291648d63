#include "streams/CEndOfStreamError.h"

namespace lumo {

namespace {

String describe(const IURI* uri)
{
    if (!uri)
        return "Unexpected end of data stream.";
    return String("Unexpected end of data stream (uri: '") + String(uri->toString()) + String("').");
}

} // namespace

CEndOfStreamError::CEndOfStreamError(const IURI* uri) : CStreamError(uri, describe(uri)) {}

P<CException> CEndOfStreamError::clone() const { return make<CEndOfStreamError>(*this); }

} // namespace lumo
