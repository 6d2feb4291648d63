#pragma once

#include "foundation/CError.h"

namespace nebo::probe {

// A command line the probe cannot follow; the text says what is wrong with it.
class CUsageError : public lumo::CError {
public:
    explicit CUsageError(const lumo::String& message);

    lumo::P<lumo::CException> clone() const override;
};

} // namespace nebo::probe
