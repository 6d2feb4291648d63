#pragma once

#include "foundation/CError.h"

namespace lumo {

// A looked-up object that does not exist. An empty description reads
// "No such object." (localisable).
class CNoSuchObjectError : public CError {
public:
    explicit CNoSuchObjectError(const String& description);

    P<CException> clone() const override;
};

} // namespace lumo
