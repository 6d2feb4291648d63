#pragma once

#include "foundation/CError.h"

namespace nebo::common {

// The plugin host's own error: a fixed English text that names the
// operation that failed, under the title "CNEBError".
class CNEBError : public lumo::CError {
public:
    explicit CNEBError(const lumo::String& message);

    lumo::P<lumo::CException> clone() const override;
};

} // namespace nebo::common
