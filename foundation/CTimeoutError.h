#pragma once

#include "foundation/CError.h"

namespace lumo {

// A wait that ran past the deadline its caller set. What the interrupted
// operation had done by then is lost: the caller treats the channel it
// waited on as broken.
class CTimeoutError : public CError {
public:
    explicit CTimeoutError(const String& description);

    P<CException> clone() const override;
};

} // namespace lumo
