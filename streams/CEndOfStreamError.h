#pragma once

#include "streams/CStreamError.h"

namespace lumo {

// A stream ended before the bytes a reader had to have. Readers that accept a
// short read use read() or skip() instead, which never throw this.
class CEndOfStreamError : public CStreamError {
public:
    explicit CEndOfStreamError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
