#pragma once

#include "foundation/CURIError.h"

namespace lumo {

// A URI text that does not follow the URI syntax. The message names the URI
// when one is given (localisable).
class CURIFormatError : public CURIError {
public:
    explicit CURIFormatError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
