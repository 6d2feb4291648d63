#pragma once

#include "foundation/IBase.h"

namespace lumo {

// Lets another thread stop a long copy between two blocks.
class IAbortFlag : public virtual IBase {
public:
    virtual bool isAbortRequested() = 0;
};

} // namespace lumo
