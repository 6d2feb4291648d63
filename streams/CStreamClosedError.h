#pragma once

#include "streams/CStreamError.h"

namespace lumo {

// An operation other than a query reached a stream after its close().
class CStreamClosedError : public CStreamError {
public:
    explicit CStreamClosedError(const IURI* uri);

    P<CException> clone() const override;
};

} // namespace lumo
