#pragma once

#include "foundation/CURIError.h"

namespace lumo {

// A URI whose scheme this system cannot handle. The message names the URI
// when one is given (localisable).
class CURITypeNotSupportedError : public CURIError {
public:
    explicit CURITypeNotSupportedError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
