#pragma once

#include "foundation/CError.h"

namespace lumo {

// A text that does not follow its syntax. Titled "Parse error".
class CParseError : public CError {
public:
    explicit CParseError(const String& description);

    P<CException> clone() const override;
};

} // namespace lumo
