#pragma once

#include "foundation/IBase.h"

namespace lumo {

// A remembered position of one stream.
class IStreamMarker : public virtual IBase {
public:
    // Returns the stream to the marked position.
    virtual void reset() = 0;
};

} // namespace lumo
