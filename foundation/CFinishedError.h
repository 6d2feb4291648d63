#pragma once

#include "foundation/CError.h"

namespace lumo {

// Thrown to end a worker or a loop that has no more work: callers catch it
// as a signal, not as a failure.
class CFinishedError : public CError {
public:
    explicit CFinishedError(const String& description);

    P<CException> clone() const override;
};

} // namespace lumo
