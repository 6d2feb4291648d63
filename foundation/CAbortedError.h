#pragma once

#include "foundation/CError.h"

namespace lumo {

// An operation that was cancelled before it finished.
class CAbortedError : public CError {
public:
    explicit CAbortedError(const String& description);

    P<CException> clone() const override;
};

} // namespace lumo
