#pragma once

#include "foundation/String.h"

namespace lumo {

// A parsed URI. Its toString() gives the URI's text.
class IURI : public virtual IBase {
public:
    // The URI as shown to a user.
    virtual String getDisplayText() const = 0;
};

} // namespace lumo
